// The audio layer's spectrum of samples held in memory, for tools and tests: the show's own transform.
#pragma once

#include <cstdint>

// The transform reads this many stereo frames: the ones before the frame heard.
const int k_spectrum_frames = 1024;

// The 512 values BASS_ChannelGetData's FFT1024 request gives for `pcm` (interleaved stereo,
// 16-bit, `frames` long) when `end_frame` is the frame heard: the 1024 frames before it, with
// frames outside [0, frames) counting as silence. The transform is the layer's, set up by
// BASS_Init and released by BASS_Free; without it `out` gets 512 zeros and the call is false.
bool pcm_spectrum(const std::int16_t* pcm, std::int64_t frames, std::int64_t end_frame, float* out);
