// The spectrum. PLACEHOLDER until the audio layer lands: the buffer stays zero.
#include "audio/music.h"

float g_spectrum[512] = {};

void fetch_spectrum(float*)
{
}
