// Our audio layer's spectrum: the transform behind BASS_ChannelGetData's FFT1024 request.
#pragma once

#include <cstdint>

#include "platform/stream_table.h"

bool init_spectrum();
void free_spectrum();

// The 512 FFT1024 values of the 1024 frames ending at `end_frame` (frames outside the stream
// count as silence). Needs BASS_Init to have run: it sets up the transform.
void stream_spectrum(const bass_stream* s, std::int64_t end_frame, float* out);
