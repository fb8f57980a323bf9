// The slides' film: where the samples of a pixel fall, the glow around bright lights and the tone curve.
#include "tools/pictures/film.h"
#include "tools/pictures/noise.h"

#include <algorithm>
#include <cmath>

void stratified_sample(int index, int side, uint32_t pixel_seed, float* dx, float* dy)
{
    int cx = index % side, cy = index / side;
    uint32_t h = hash_u32(pixel_seed * 0x9e3779b9U + uint32_t(index) * 0x85ebca6bU + 0x27d4eb2fU);
    // 16 bits each for the jitter, kept strictly inside the cell.
    float jx = float(h & 0xffffU) * (1.0f / 65536.0f), jy = float(h >> 16) * (1.0f / 65536.0f);
    *dx = (float(cx) + jx) / float(side);
    *dy = (float(cy) + jy) / float(side);
}

// Narkowicz's fit of the ACES curve, normalised so that it reaches 1 at the white point.
static float aces(float x)
{
    return (x * (2.51f * x + 0.03f)) / (x * (2.43f * x + 0.59f) + 0.14f);
}

float film_curve(float x)
{
    if (x <= 0.0f) return 0.0f;
    if (x >= k_film_white) return 1.0f;
    return std::min(aces(x) / aces(k_film_white), 1.0f);
}

static unsigned char srgb8(float v)
{
    v = clamp01(v);
    float s = v <= 0.0031308f ? 12.92f * v : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
    return (unsigned char)(s * 255.0f + 0.5f);
}

void film_tone(vec3 c, unsigned char out[3])
{
    out[0] = srgb8(film_curve(c.x));
    out[1] = srgb8(film_curve(c.y));
    out[2] = srgb8(film_curve(c.z));
}

static float luma(vec3 c)
{
    return 0.2126f * c.x + 0.7152f * c.y + 0.0722f * c.z;
}

// One separable Gaussian pass along rows (step 1) or columns (step width), from src into dst.
static void blur_pass(const std::vector<vec3>& src, std::vector<vec3>& dst, int width, int height, bool rows,
                      const std::vector<float>& kernel)
{
    int r = int(kernel.size()) - 1;
    int lines = rows ? height : width, len = rows ? width : height;
    size_t step = rows ? 1 : size_t(width);
    for (int line = 0; line < lines; ++line) {
        size_t base = rows ? size_t(line) * width : size_t(line);
        for (int i = 0; i < len; ++i) {
            vec3 sum = v3(0.0f);
            int a = std::max(i - r, 0), b = std::min(i + r, len - 1);
            for (int j = a; j <= b; ++j) {
                const vec3& s = src[base + size_t(j) * step];
                if (s.x == 0.0f && s.y == 0.0f && s.z == 0.0f) continue;
                sum = sum + s * kernel[size_t(std::abs(j - i))];
            }
            dst[base + size_t(i) * step] = sum;
        }
    }
}

void add_bloom(std::vector<vec3>& img, int width, int height, float threshold, float strength)
{
    std::vector<vec3> bright(img.size()), tmp(img.size()), out(img.size());
    bool any = false;
    for (size_t i = 0; i < img.size(); ++i) {
        float l = luma(img[i]);
        bright[i] = l > threshold ? img[i] * ((l - threshold) / l) : v3(0.0f);
        any = any || l > threshold;
    }
    if (!any) return;
    // A tight halo, a wider glow and a faint veil, as a lens gives.
    const float sigmas[3] = {0.003f, 0.012f, 0.045f}, weights[3] = {0.5f, 0.3f, 0.2f};
    for (int k = 0; k < 3; ++k) {
        float sigma = std::max(0.7f, sigmas[k] * float(std::max(width, height)));
        int r = int(std::ceil(3.0f * sigma));
        std::vector<float> kernel(size_t(r) + 1);
        float total = 0.0f;
        for (int i = 0; i <= r; ++i) {
            kernel[size_t(i)] = std::exp(-0.5f * float(i * i) / (sigma * sigma));
            total += kernel[size_t(i)] * (i ? 2.0f : 1.0f);
        }
        for (float& w : kernel) w /= total;
        blur_pass(bright, tmp, width, height, true, kernel);
        blur_pass(tmp, out, width, height, false, kernel);
        for (size_t i = 0; i < img.size(); ++i) img[i] = img[i] + out[i] * (strength * weights[k]);
    }
}
