// The slides' film: where the samples of a pixel fall, the glow around bright lights and the tone curve.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/pictures/vec3.h"

// Sample `index` of `side` x `side` in a pixel: one jittered point in each cell of a side x side grid,
// as an offset in [0, 1) from the pixel's corner. The jitter is fixed by pixel_seed.
void stratified_sample(int index, int side, uint32_t pixel_seed, float* dx, float* dy);

// Linear light (after exposure) to display-linear 0..1: a toe, a straight middle and a shoulder
// that reaches 1 only at k_film_white, so a white wall keeps its texture and only lights burn out.
const float k_film_white = 16.0f;
float film_curve(float x);
// The curve per channel, then sRGB encoding to 8 bits.
void film_tone(vec3 c, unsigned char out[3]);

// Adds a soft glow around everything brighter than `threshold` (luminance after exposure):
// only the part above the threshold spreads, in three widths scaled to the picture's side.
void add_bloom(std::vector<vec3>& img, int width, int height, float threshold, float strength);
