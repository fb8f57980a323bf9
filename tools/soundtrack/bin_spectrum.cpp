// Opens the soundtrack and reads its spectrum through the audio layer, so the figures are the show's own.
#include "bin_spectrum.h"

#include <cmath>
#include <cstdint>

#include "platform/bass_internal.h"

// Device 0 is "no sound": BASS_StreamCreateFile and the transform need the layer started,
// but a measuring tool has no use for an audio device, and a test machine may lack one.
bool start_spectrum_layer()
{
    return g_bass_ready || BASS_Init(0, 44100, 0, nullptr, nullptr);
}

const bass_stream* open_soundtrack(const char* path)
{
    if (!start_spectrum_layer()) return nullptr;
    return find_stream(BASS_StreamCreateFile(FALSE, path, 0, 0, BASS_STREAM_PRESCAN));
}

void spectrum_at(const bass_stream* s, double t, float* values)
{
    stream_spectrum(s, static_cast<std::int64_t>(std::llround(t * s->rate)), values);
}
