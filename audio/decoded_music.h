// A soundtrack file decoded whole by the audio layer, for tools: its samples, and the spectrum
// the show would fetch while any one of them is heard.
#pragma once

#include <cstdint>
#include <vector>

struct decoded_music {
    std::vector<std::int16_t> pcm;          // the whole file, interleaved stereo, 16-bit
    const std::int16_t* samples = nullptr;  // pcm's first sample, for reading by index
    std::int64_t frames = 0;                // length in stereo frames
    int rate = 0;                           // frames per second
};

// Decodes the file with the audio layer's decoder, sample for sample what the show's stream of it
// plays (gapless, the exact length), and starts the layer on its "no sound" device for the
// transform: no audio output is needed. False when the file cannot be opened or decoded.
bool open_decoded_music(const char* path, decoded_music& music);

// The 512 values fetch_spectrum writes while stereo frame `heard` is the one heard: the same
// frames through the same transform. Before the first frame it is all zeros.
void decoded_spectrum(const decoded_music& music, std::int64_t heard, float* spectrum);

// The stereo frame heard at `seconds` of playback, as the show's position reading counts it.
std::int64_t frame_heard_at(const decoded_music& music, double seconds);

// Releases the samples and the audio layer.
void close_decoded_music(decoded_music& music);
