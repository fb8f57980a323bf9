// Our audio layer's mixer: the output's callback, rendering the playing streams at the output's
// rate, and the one place that starts, moves and advances a stream's playback.
#pragma once

#include <cstdint>

#include "platform/audio_output.h"
#include "platform/stream_table.h"

// Opens the output of `kind` at `rate` Hz with the mixer as its callback; false when it cannot.
bool open_mixer(audio_output_kind kind, int rate);

// Both with the output locked. Playing from the start (`restart`), or on from where the stream
// stands; the listener stands there until the next buffer says when it is heard.
void play_stream(bass_stream* s, bool restart);

// Moves the stream to `frame`, playing or not; a stream standing still is heard there.
void move_stream(bass_stream* s, std::int64_t frame);
