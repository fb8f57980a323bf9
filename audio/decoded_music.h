// A soundtrack file decoded whole by the audio layer, for tools: its samples, and the spectrum
// the show would fetch while any one of them is heard.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct decoded_music {
    DWORD stream = 0;                       // the audio layer's stream, standing still
    const std::int16_t* samples = nullptr;  // interleaved stereo, 16-bit, `frames` long
    std::int64_t frames = 0;                // length in stereo frames
    int rate = 0;                           // frames per second
};

// Decodes the file through the audio layer exactly as the show opens its soundtrack (gapless,
// prescanned), on the layer's "no sound" device: no audio output is needed. False when the
// file cannot be opened or decoded, or the layer cannot start.
bool open_decoded_music(const char* path, decoded_music& music);

// The 512 values fetch_spectrum writes while stereo frame `heard` is the one heard: the same
// position request and transform the show makes. Before the first frame it is all zeros.
void decoded_spectrum(const decoded_music& music, std::int64_t heard, float* spectrum);

// The stereo frame heard at `seconds` of playback, as the show's position reading counts it.
std::int64_t frame_heard_at(const decoded_music& music, double seconds);

// Releases the audio layer, and with it the stream.
void close_decoded_music(decoded_music& music);
