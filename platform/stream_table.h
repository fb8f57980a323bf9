// Our audio layer's stream table: the decoded streams that exist, by handle.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/position_model.h"
#include "platform/win_types.h"

// Streams that may exist at once; the show makes one, tests a few.
const int k_max_streams = 8;

// One decoded stream. `pcm` never changes after creation, so the mixer and the spectrum
// read it freely; the playback fields belong to the output's thread and are changed elsewhere
// only with the output locked.
struct bass_stream {
    std::vector<std::int16_t> pcm;  // interleaved stereo, 16-bit, at the stream's own rate
    std::int64_t frames = 0;        // length in stereo frames
    int rate = 0;                   // the stream's sample rate in Hz

    bool playing = false;
    bool continuous = false;        // the previous buffer rendered it with no jump since
    double next_frame = 0.0;        // next frame to render; fractional while resampling
    double prev_chunk_start = 0.0;  // where the previous buffer's chunk began

    position_model heard;
};

// Handle h is slot h - 1; an empty slot holds null. Every slot is empty while no output is open.
extern std::atomic<bass_stream*> g_bass_streams[k_max_streams];

// The stream of a handle, or null for 0, an unknown handle or a released one.
bass_stream* find_stream(DWORD handle);

// Called once the output is closed, when nothing reads the streams any more.
void free_all_streams();
