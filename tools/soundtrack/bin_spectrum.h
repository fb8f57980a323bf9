// Gapless MP3 decoding and the show's spectrum values, shared by measure_bins and the tests.
#pragma once
#include <vector>

constexpr int k_spectrum_size = 1024;  // samples per transform; values 0..511

struct decoded_audio {
    std::vector<float> mono;  // (L + R) / 2
    long rate = 0;
};

// Decodes the whole file; false (with a message on stderr) when it cannot.
bool decode_mp3_mono(const char* path, decoded_audio* out);

// The 512 spectrum values heard at t seconds.
void spectrum_at(const decoded_audio& audio, double t, float* values);
