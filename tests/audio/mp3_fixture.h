// Audio test support: MP3 files made with ffmpeg in a temporary folder, and ffmpeg's own decoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes ffmpeg's aevalsrc expression ("left|right", or one for both; t in seconds) as a
// stereo MP3 at `rate`.
bool make_mp3(const std::string& path, const std::string& expression, int rate, double seconds);

// The file as ffmpeg decodes it: interleaved 16-bit stereo, resampled to `rate` if nonzero.
std::vector<std::int16_t> decode_with_ffmpeg(const std::string& path, int rate = 0);

// The 16-bit samples of a raw file (what SDL's disk audio driver writes).
std::vector<std::int16_t> read_s16_file(const std::string& path);

// Polls until pred() holds or `seconds` pass; true if it held.
template <typename Pred> bool wait_until(Pred pred, double seconds);

void sleep_seconds(double seconds);
double steady_seconds();

template <typename Pred> bool wait_until(Pred pred, double seconds)
{
    double end = steady_seconds() + seconds;
    while (steady_seconds() < end) {
        if (pred()) return true;
        sleep_seconds(0.005);
    }
    return pred();
}
