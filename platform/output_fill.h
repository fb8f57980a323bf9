// The callback every sound output calls for samples: the mixer, in our audio layer.
#pragma once

#include <cstdint>

// Fills `frames` interleaved 16-bit stereo frames at the output's rate. The output calls it
// from a thread of its own, always with the output locked.
typedef void (*audio_output_fill)(std::int16_t* out, int frames);
