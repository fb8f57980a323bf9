// Deterministic hash and value noise for the picture generator.
#pragma once
#include <cstdint>

uint32_t hash_u32(uint32_t x);
float hash2(int x, int y, uint32_t seed);                     // in [0, 1)
float value_noise2(float x, float y, uint32_t seed);          // in [-1, 1]
float fbm2(float x, float y, int octaves, uint32_t seed);     // roughly in [-1, 1]
float ridged2(float x, float y, int octaves, uint32_t seed);  // in [0, 1], sharp crests
