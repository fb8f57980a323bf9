// Deterministic hash and value noise for the picture renderer.
#pragma once
#include <cstdint>

uint32_t hash_u32(uint32_t x);
float hash2(int x, int y, uint32_t seed);                      // in [0, 1)
float hash3(int x, int y, int z, uint32_t seed);               // in [0, 1)
float value_noise2(float x, float y, uint32_t seed);           // in [-1, 1]
float value_noise3(float x, float y, float z, uint32_t seed);  // in [-1, 1]
float fbm2(float x, float y, int octaves, uint32_t seed);      // roughly in [-1, 1]
float fbm3(float x, float y, float z, int octaves, uint32_t seed);
float ridged2(float x, float y, int octaves, uint32_t seed);  // in [0, 1], sharp crests
float eroded2(float x, float y, int octaves, uint32_t seed);  // roughly in [-1, 1.5], eroded relief
// fbm2 seen through a footprint (in the noise's own units): octaves finer than the footprint fade out
// instead of aliasing. *lost gets the share of slope detail faded, 0 (all kept) .. octaves.
float fbm2_footprint(float x, float y, int octaves, uint32_t seed, float footprint, float* lost);
