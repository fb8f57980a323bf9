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

float hash3(int x, int y, int z, uint32_t seed)
{
    uint32_t h = hash_u32(uint32_t(x) * 0x8da6b343U ^
                          hash_u32(uint32_t(y) * 0xd8163841U ^ hash_u32(uint32_t(z) * 0xcb1ab31fU ^ seed)));
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

float value_noise3(float x, float y, float z, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    int ix = int(fx), iy = int(fy), iz = int(fz);
    float u = fade(x - fx), v = fade(y - fy), w = fade(z - fz);
    float r[2];
    for (int k = 0; k < 2; ++k) {
        float a = hash3(ix, iy, iz + k, seed), b = hash3(ix + 1, iy, iz + k, seed);
        float c = hash3(ix, iy + 1, iz + k, seed), d = hash3(ix + 1, iy + 1, iz + k, seed);
        float top = a + (b - a) * u, bottom = c + (d - c) * u;
        r[k] = top + (bottom - top) * v;
    }
    return 2.0f * (r[0] + (r[1] - r[0]) * w) - 1.0f;
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

float fbm3(float x, float y, float z, int octaves, uint32_t seed)
{
    float sum = 0.0f, amp = 0.5f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * value_noise3(x, y, z, seed + uint32_t(i) * 1013U);
        x = x * 2.03f + 1.3f;
        y = y * 2.01f + 2.9f;
        z = z * 1.97f + 0.7f;
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

// Value noise with its two derivatives, for the eroded terrain below.
static float value_noise2_d(float x, float y, uint32_t seed, float* dx, float* dy)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    float u = fade(tx), v = fade(ty);
    float du = 30.0f * tx * tx * (tx * (tx - 2.0f) + 1.0f), dv = 30.0f * ty * ty * (ty * (ty - 2.0f) + 1.0f);
    uint32_t r0 = hash_u32(uint32_t(iy) * 0xd8163841U ^ seed), r1 = hash_u32(uint32_t(iy + 1) * 0xd8163841U ^ seed);
    uint32_t c0 = uint32_t(ix) * 0x8da6b343U, c1 = uint32_t(ix + 1) * 0x8da6b343U;
    const float q = 1.0f / 16777216.0f;
    float a = float(hash_u32(c0 ^ r0) >> 8) * q, b = float(hash_u32(c1 ^ r0) >> 8) * q;
    float c = float(hash_u32(c0 ^ r1) >> 8) * q, d = float(hash_u32(c1 ^ r1) >> 8) * q;
    float k = a - b - c + d;
    *dx = 2.0f * du * ((b - a) + k * v);
    *dy = 2.0f * dv * ((c - a) + k * u);
    return 2.0f * (a + (b - a) * u + (c - a) * v + k * u * v) - 1.0f;
}

// Octaves fade where the slope below them is steep: smooth valleys, sharp eroded ridges.
float eroded2(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0.0f, amp = 1.0f, gx = 0.0f, gy = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        float dx, dy;
        float n = value_noise2_d(x, y, seed + uint32_t(i) * 6271U, &dx, &dy);
        gx += dx;
        gy += dy;
        sum += amp * n / (1.0f + gx * gx + gy * gy);
        amp *= 0.5f;
        float nx = 1.6f * x - 1.2f * y, ny = 1.2f * x + 1.6f * y;
        x = nx;
        y = ny;
    }
    return sum;
}

// The same octaves as fbm2 (each twice the frequency of the one before); an octave fades from full
// weight where its lattice cell is as wide as the footprint to nothing where it is half as wide.
// Every octave of fbm carries the same slope, so a faded octave's share of slope is (1 - weight).
float fbm2_footprint(float x, float y, int octaves, uint32_t seed, float footprint, float* lost)
{
    float sum = 0.0f, amp = 0.5f, freq = 1.0f, gone = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        float w = 2.0f - 1.0f * footprint * freq;
        w = w < 0.0f ? 0.0f : (w > 1.0f ? 1.0f : w);
        if (w > 0.0f) sum += w * amp * value_noise2(x, y, seed + uint32_t(i) * 1013U);
        gone += 1.0f - w;
        float nx = 1.6f * x - 1.2f * y, ny = 1.2f * x + 1.6f * y;
        x = nx + 3.1f;
        y = ny + 1.7f;
        amp *= 0.5f;
        freq *= 2.0f;
    }
    if (lost) *lost = gone;
    return sum;
}
