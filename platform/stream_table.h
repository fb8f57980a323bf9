// Our audio layer's stream table: the streams that exist, by handle, each an MP3 file decoded as it plays.
#pragma once

#include <cstdint>

#include "platform/mp3_decoder.h"
#include "platform/position_model.h"
#include "platform/stream_pcm.h"
#include "platform/win_types.h"

// Streams that may exist at once; the show makes one, tests a few.
const int k_max_streams = 8;

// One stream. Its decoder and its samples are used with the output locked; the playback fields
// belong to the mixer (bass_render.cpp), which changes them on the output's thread and, with
// the output locked, on the caller's; `heard` is read by anyone without a lock.
struct bass_stream {
    mp3_decoder decoder;  // the file; its rate and exact length are the stream's
    stream_pcm pcm;       // its samples around the playing position

    bool playing = false;
    bool continuous = false;        // the previous buffer rendered it with no jump since
    double next_frame = 0.0;        // next frame to render; fractional while resampling
    double chunk_start = 0.0;       // where the buffer being filled began
    double prev_chunk_start = 0.0;  // where the previous buffer began

    position_model heard;
};

inline int stream_rate(const bass_stream* s)
{
    return static_cast<int>(s->decoder.kind.rate);
}

inline std::int64_t stream_length(const bass_stream* s)
{
    return s->decoder.length;
}

// Opens a stream of the MP3 file at `path` and gives it a handle; 0 when the file is not an MP3
// or every handle is taken. A new stream stands still at its start.
DWORD add_stream(const char* path);

// The stream of a handle, or null for 0, an unknown handle or a released one.
bass_stream* find_stream(DWORD handle);

// Called once the output is closed, when nothing reads the streams any more.
void free_all_streams();
