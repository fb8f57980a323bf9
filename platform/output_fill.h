// The callback every sound output calls for samples: the mixer, in our audio layer.
#pragma once

#include <cstdint>

// Fills `frames` interleaved 16-bit stereo frames at the output's rate, decoding the playing
// streams as far as it reads them. The output calls it from its audio thread or callback, always
// with the output locked; nothing in it waits on a device or another thread.
typedef void (*audio_output_fill)(std::int16_t* out, int frames);
