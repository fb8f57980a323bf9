// The spinning backdrop: a face-on spiral galaxy among stars and faint nebulae, dark enough to stay behind.
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"
#include "tools/pictures/vec3.h"

#include <cmath>

static const int SIZE = 1024;
static const uint32_t SEED = 2008;

// Point stars on a grid of cells, each drawn as a small gaussian so no sample misses one.
static vec3 stars(float x, float y, float cell, float chance, float brightness, uint32_t seed)
{
    float fx = x / cell, fy = y / cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    vec3 sum = v3(0.0f);
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            if (hash2(cx, cy, seed) > chance) continue;
            float sx = cx + hash2(cx, cy, seed + 1), sy = cy + hash2(cx, cy, seed + 2);
            float d2 = ((fx - sx) * (fx - sx) + (fy - sy) * (fy - sy)) * cell * cell;
            float size = 0.0012f * (0.7f + 0.8f * hash2(cx, cy, seed + 4));
            float mag = std::pow(hash2(cx, cy, seed + 3), 6.0f) * 4.0f + 0.2f;
            float temp = hash2(cx, cy, seed + 5);
            vec3 tint = temp < 0.3f ? v3(1.0f, 0.75f, 0.55f) : (temp < 0.8f ? v3(1.0f, 0.95f, 0.9f) : v3(0.65f, 0.78f, 1.0f));
            sum = sum + tint * (mag * brightness * std::exp(-d2 / (size * size)));
        }
    return sum;
}

static vec3 galaxy(float x, float y)
{
    float r = std::sqrt(x * x + y * y);
    float a = std::atan2(y, x);
    // Two logarithmic arms, warped by noise so they break into clumps.
    float warp = fbm2(x * 4.0f, y * 4.0f, 4, SEED + 10) * 0.9f;
    float phase = 2.0f * (a - std::log(r + 0.02f) * 2.6f) + warp;
    float arms = std::pow(0.5f + 0.5f * std::cos(phase), 3.0f);
    // Fine grain of unresolved stars along the arms.
    arms *= 0.75f + 0.5f * value_noise2(x * 160.0f, y * 160.0f, SEED + 13);
    float fall = std::exp(-r / 0.22f);
    float disc = fall * (0.25f + 1.4f * arms);
    float clumps = smoothstep(0.3f, 0.7f, fbm2(x * 30.0f, y * 30.0f, 5, SEED + 11)) * arms * fall;
    float dust = smoothstep(-0.05f, 0.4f, fbm2(x * 9.0f + 3.0f, y * 9.0f, 5, SEED + 12)) *
                 std::pow(0.5f + 0.5f * std::cos(phase + 0.9f), 4.0f) * smoothstep(0.03f, 0.15f, r);
    vec3 col = v3(0.55f, 0.65f, 1.0f) * disc * 0.9f + v3(1.0f, 0.45f, 0.65f) * clumps * 1.8f;
    col = col * (1.0f - 0.75f * dust);
    // The bulge: warm and bright, with a small hot core.
    float bulge = std::exp(-r * r / (2.0f * 0.055f * 0.055f));
    col = col + v3(1.0f, 0.82f, 0.55f) * bulge * 1.8f + v3(1.0f, 0.95f, 0.85f) * std::exp(-r * r / 0.0002f) * 2.0f;
    return col;
}

static vec3 nebula(float x, float y)
{
    float n1 = fbm2(x * 2.2f + 10.0f, y * 2.2f, 6, SEED + 20);
    float n2 = fbm2(x * 1.7f, y * 1.7f - 4.0f, 6, SEED + 21);
    return v3(0.35f, 0.08f, 0.45f) * (smoothstep(0.05f, 0.6f, n1) * 0.12f) +
           v3(0.05f, 0.30f, 0.40f) * (smoothstep(0.1f, 0.6f, n2) * 0.10f);
}

image8 render_universe()
{
    image8 img = make_image(SIZE, SIZE, 3);
    const float tilt = 0.5f; // the galaxy's long axis, radians
    parallel_rows(SIZE, [&](int py) {
        for (int px = 0; px < SIZE; ++px) {
            float x = (px + 0.5f) / SIZE * 2.0f - 1.0f, y = 1.0f - (py + 0.5f) / SIZE * 2.0f;
            // Seen a little inclined: squash along one axis.
            float gx = std::cos(tilt) * x + std::sin(tilt) * y, gy = -std::sin(tilt) * x + std::cos(tilt) * y;
            vec3 c = nebula(x, y) + galaxy(gx, gy / 0.8f);
            c = c + stars(x, y, 0.012f, 0.45f, 0.5f, SEED + 30) + stars(x, y, 0.045f, 0.5f, 1.6f, SEED + 40);
            tone_map(c.x, c.y, c.z, 0.8f, &img.pixels[(size_t(py) * SIZE + px) * 3]);
        }
    });
    return img;
}
