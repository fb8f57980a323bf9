// The spectrum of the music now playing, fetched once per pass of the frame loop.
#include "audio/music.h"

#include "platform/bass.h"

float g_spectrum[512] = {};

void fetch_spectrum(float* spectrum)
{
    BASS_ChannelGetData(g_music, spectrum, BASS_DATA_FFT1024);
}
