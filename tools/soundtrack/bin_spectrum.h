// The soundtrack's spectrum as the show reads it: the audio layer's own decoding and FFT, for measure_bins and the tests.
#pragma once

#include <cstdint>

#include "audio/decoded_music.h"

constexpr int k_spectrum_size = 1024;  // frames per transform; values 0..511

// Starts the audio layer on its "no sound" device, which opens no output but prepares the
// transform and lets streams be created. A layer already started is left as it is.
void start_spectrum_layer();

// The 512 spectrum values of `pcm` (interleaved stereo, 16-bit, `frames` long, `rate` frames a
// second) heard at t seconds: the window ends at frame round(t × rate). False when the layer
// has not been started.
bool pcm_spectrum_at(const std::int16_t* pcm, std::int64_t frames, int rate, double t, float* values);

// The same for a soundtrack the layer decoded (open_decoded_music).
bool spectrum_at(const decoded_music& music, double t, float* values);
