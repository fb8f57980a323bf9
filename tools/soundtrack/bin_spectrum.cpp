// Reads a soundtrack's spectrum through the audio layer's public entries, so the figures are the show's own.
#include "tools/soundtrack/bin_spectrum.h"

#include <cmath>

#include "platform/bass.h"
#include "platform/pcm_spectrum.h"

// Device 0 is "no sound": the transform needs the layer started, but a measuring tool has no
// use for an audio device, and a test machine may lack one. A second start is refused, and the
// layer serves as it is.
void start_spectrum_layer()
{
    BASS_Init(0, 44100, 0, nullptr, nullptr);
}

bool pcm_spectrum_at(const std::int16_t* pcm, std::int64_t frames, int rate, double t, float* values)
{
    return pcm_spectrum(pcm, frames, static_cast<std::int64_t>(std::llround(t * rate)), values);
}

bool spectrum_at(const decoded_music& music, double t, float* values)
{
    return pcm_spectrum_at(music.samples, music.frames, music.rate, t, values);
}
