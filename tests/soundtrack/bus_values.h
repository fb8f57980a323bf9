// A generator bus read through the show's own spectrum, for the soundtrack's tests.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/soundtrack/synth.h"

// Interleaved stereo 16-bit samples at k_rate, as the audio layer holds a decoded file.
using pcm = std::vector<std::int16_t>;

// The bus as the audio layer would hold it decoded, so the show's own spectrum reads it.
pcm as_pcm(const stereo_bus& bus);

// Spectrum value k of `p` heard at t seconds, as the show fetches it.
float value_at(const pcm& p, double t, int k);
