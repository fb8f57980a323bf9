// The soundtrack's spectrum as the show reads it: the audio layer's own decoding and FFT, for measure_bins and the tests.
#pragma once

struct bass_stream;

constexpr int k_spectrum_size = 1024;  // frames per transform; values 0..511

// Sets up the audio layer on its "no sound" device, which opens no output but prepares the
// transform and lets streams be created; false when it cannot. Does nothing if already done.
bool start_spectrum_layer();

// Decodes the whole file through the layer (gapless, prescanned); nullptr when it cannot.
// The stream lives until BASS_Free.
const bass_stream* open_soundtrack(const char* path);

// The 512 spectrum values heard at t seconds: the window ends at frame round(t × rate).
void spectrum_at(const bass_stream* s, double t, float* values);
