// Deterministic hash and value noise: every picture comes out the same from the same seed.
#include "tools/pictures/noise.h"

#include <cmath>

uint32_t hash_u32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float hash2(int x, int y, uint32_t seed)
{
    uint32_t h = hash_u32(uint32_t(x) * 0x8da6b343U ^ hash_u32(uint32_t(y) * 0xd8163841U ^ seed));
    return float(h >> 8) * (1.0f / 16777216.0f);
}

static float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float value_noise2(float x, float y, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float u = fade(x - fx), v = fade(y - fy);
    // hash2 of the four corners, its row hash shared by the two corners of each row.
    uint32_t r0 = hash_u32(uint32_t(iy) * 0xd8163841U ^ seed), r1 = hash_u32(uint32_t(iy + 1) * 0xd8163841U ^ seed);
    uint32_t c0 = uint32_t(ix) * 0x8da6b343U, c1 = uint32_t(ix + 1) * 0x8da6b343U;
    const float k = 1.0f / 16777216.0f;
    float a = float(hash_u32(c0 ^ r0) >> 8) * k, b = float(hash_u32(c1 ^ r0) >> 8) * k;
    float c = float(hash_u32(c0 ^ r1) >> 8) * k, d = float(hash_u32(c1 ^ r1) >> 8) * k;
    float top = a + (b - a) * u, bottom = c + (d - c) * u;
    return 2.0f * (top + (bottom - top) * v) - 1.0f;
}

// Each octave is rotated a little so the lattice never lines up into visible rows.
float fbm2(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0.0f, amp = 0.5f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * value_noise2(x, y, seed + uint32_t(i) * 1013U);
        float nx = 1.6f * x - 1.2f * y, ny = 1.2f * x + 1.6f * y;
        x = nx + 3.1f;
        y = ny + 1.7f;
        amp *= 0.5f;
    }
    return sum;
}

// Ridges sharpen where the noise crosses zero; higher octaves are damped on low ground.
float ridged2(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0.0f, amp = 0.5f, weight = 1.0f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        float n = 1.0f - std::fabs(value_noise2(x, y, seed + uint32_t(i) * 7919U));
        n = n * n * weight;
        weight = n * 1.5f;
        if (weight > 1.0f) weight = 1.0f;
        sum += n * amp;
        norm += amp;
        float nx = 1.6f * x - 1.2f * y, ny = 1.2f * x + 1.6f * y;
        x = nx + 5.3f;
        y = ny + 2.1f;
        amp *= 0.5f;
    }
    return sum / norm;
}
