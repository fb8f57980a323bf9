// Our audio layer's decoder: a whole MP3 file into a stream's samples, past damaged frames.
#pragma once

#include <string>

#include "platform/stream_table.h"

// Decodes the whole MP3 file into `s` (pcm, frames, rate); false when the file cannot be
// read or is not an MP3. Decoding it all gives the exact length that a prescan would.
bool decode_file(const std::string& path, bass_stream* s);
