// The spinning backdrop: a face-on spiral galaxy among stars and faint nebulae, dark enough to stay behind.
//
// Only the disc of radius 0.83 (in half-widths) around the centre is ever on screen, magnified about
// 1.5 times (one texel covers 1.5 pixels). So the galaxy's arms and dust lanes span that disc, the
// smooth parts are supersampled and carry no detail finer than a few texels, and stars are splats
// with a crisp edge, one to three texels across, so they come out as small sharp points on screen.
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"
#include "tools/pictures/vec3.h"

#include <cmath>

static const uint32_t k_seed = 2008;
static const float k_visible = 0.83f;   // radius of the part ever on screen, in half-widths
static const int k_smooth_samples = 3;  // per side, for everything but the star splats

// Points on a grid of cells, one at most per cell, each a disc `radius` texels across its edge
// (antialiased over one texel). `density` scales each cell's chance, for stars that follow the arms.
struct splat_layer {
    float cell;                    // cell side, in half-widths
    float chance;                  // share of cells holding a point
    float radius_min, radius_max;  // texels
    float brightness;
    uint32_t seed;
};

static vec3 splat_tint(float temp)
{
    if (temp < 0.25f) return v3(1.0f, 0.74f, 0.52f);
    if (temp < 0.75f) return v3(1.0f, 0.95f, 0.90f);
    return v3(0.66f, 0.78f, 1.0f);
}

static vec3 splats(float x, float y, float texel, const splat_layer& l, float density)
{
    float fx = x / l.cell, fy = y / l.cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    vec3 sum = v3(0.0f);
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            if (hash2(cx, cy, l.seed) > l.chance * density) continue;
            float sx = cx + hash2(cx, cy, l.seed + 1), sy = cy + hash2(cx, cy, l.seed + 2);
            float d = std::sqrt((fx - sx) * (fx - sx) + (fy - sy) * (fy - sy)) * l.cell / texel;
            float mag = std::pow(hash2(cx, cy, l.seed + 3), 5.0f);
            float radius = mixf(l.radius_min, l.radius_max, mag);
            float cover = clamp01(radius + 0.5f - d);
            if (cover <= 0.0f) continue;
            // a hot centre inside the disc, so the brightest look like points, not coins
            float core = 1.0f + 1.5f * clamp01(1.0f - d / (radius * 0.6f + 0.3f));
            sum = sum + splat_tint(hash2(cx, cy, l.seed + 4)) * (cover * core * l.brightness * (0.25f + 3.0f * mag));
        }
    return sum;
}

// The galaxy's plane coordinates: arm strength in [0, 1] and the angle phase of the arms.
static float spiral_phase(float x, float y, float r)
{
    float a = std::atan2(y, x);
    float warp = fbm2(x * 3.0f, y * 3.0f, 3, k_seed + 10) * 0.7f;
    return 2.0f * (a - std::log(r + 0.03f) * 2.3f) + warp;
}

static float arm_strength(float phase)
{
    return std::pow(0.5f + 0.5f * std::cos(phase), 2.2f);
}

// Everything smooth: disc, arms, dust lanes, bulge and the faint nebulae around.
static vec3 smooth_light(float x, float y, float gx, float gy)
{
    float r = std::sqrt(gx * gx + gy * gy);
    float phase = spiral_phase(gx, gy, r);
    float arms = arm_strength(phase);
    // arms hold clumps a few texels wide and larger; nothing finer, so no stipple under magnification
    float clumps = 0.6f + 0.4f * smoothstep(-0.3f, 0.6f, fbm2(gx * 22.0f, gy * 22.0f, 3, k_seed + 11));
    float envelope = std::exp(-r / 0.36f) * smoothstep(k_visible + 0.05f, 0.5f, r);
    float disc = envelope * (0.05f + 1.1f * arms * clumps);
    // dust lanes run along the inner edge of each arm, broken into filaments
    float lane = std::pow(0.5f + 0.5f * std::cos(phase - 0.7f), 4.0f);
    float filaments = smoothstep(0.15f, 0.7f, ridged2(gx * 7.0f + 2.0f, gy * 7.0f, 4, k_seed + 12));
    float dust = lane * (0.5f + 0.5f * filaments) * smoothstep(0.04f, 0.14f, r);
    vec3 col = mix(v3(0.95f, 0.80f, 0.70f), v3(0.42f, 0.56f, 1.0f), smoothstep(0.05f, 0.3f, r)) * disc;
    col = col * (1.0f - 0.8f * dust) + v3(0.16f, 0.07f, 0.03f) * (dust * envelope * 0.3f);
    // the bulge, warm, with a small hot core
    float bulge = std::exp(-r * r / (2.0f * 0.05f * 0.05f));
    col = col + v3(1.0f, 0.80f, 0.52f) * bulge * 1.1f + v3(1.0f, 0.95f, 0.85f) * std::exp(-r * r / 0.0003f) * 1.2f;
    // faint nebulae in the corners of the view
    float n1 = fbm2(x * 2.2f + 10.0f, y * 2.2f, 5, k_seed + 20);
    float n2 = fbm2(x * 1.7f, y * 1.7f - 4.0f, 5, k_seed + 21);
    col = col + v3(0.35f, 0.08f, 0.45f) * (smoothstep(0.05f, 0.6f, n1) * 0.08f) +
        v3(0.05f, 0.30f, 0.40f) * (smoothstep(0.1f, 0.6f, n2) * 0.07f);
    return col;
}

image8 render_universe(int size)
{
    image8 img = make_image(size, size, 3);
    const float tilt = 0.5f;  // the galaxy's long axis, radians
    const float texel = 2.0f / size;
    const splat_layer field = {0.014f, 0.22f, 0.45f, 1.2f, 0.30f, k_seed + 30};
    const splat_layer bright = {0.06f, 0.55f, 0.8f, 1.6f, 0.9f, k_seed + 40};
    const splat_layer clusters = {0.009f, 0.55f, 0.45f, 0.9f, 0.25f, k_seed + 50};
    const splat_layer knots = {0.022f, 0.5f, 0.9f, 1.8f, 0.55f, k_seed + 60};
    parallel_rows(size, [&](int py) {
        for (int px = 0; px < size; ++px) {
            vec3 c = v3(0.0f);
            for (int k = 0; k < k_smooth_samples * k_smooth_samples; ++k) {
                float x = (px + (k % k_smooth_samples + 0.5f) / k_smooth_samples) * texel - 1.0f;
                float y = 1.0f - (py + (k / k_smooth_samples + 0.5f) / k_smooth_samples) * texel;
                // seen a little inclined: squash along one axis
                float gx = std::cos(tilt) * x + std::sin(tilt) * y,
                      gy = (-std::sin(tilt) * x + std::cos(tilt) * y) / 0.8f;
                c = c + smooth_light(x, y, gx, gy);
            }
            c = c * (1.0f / (k_smooth_samples * k_smooth_samples));

            float x = (px + 0.5f) * texel - 1.0f, y = 1.0f - (py + 0.5f) * texel;
            float gx = std::cos(tilt) * x + std::sin(tilt) * y, gy = (-std::sin(tilt) * x + std::cos(tilt) * y) / 0.8f;
            float r = std::sqrt(gx * gx + gy * gy);
            float arms = arm_strength(spiral_phase(gx, gy, r)) * smoothstep(0.85f, 0.15f, r);
            c = c + splats(x, y, texel, field, 1.0f) + splats(x, y, texel, bright, 1.0f);
            // blue clusters and rose star-forming knots crowd along the arms
            c = c + splats(gx, gy, texel, clusters, arms * 1.6f);
            c = c + splats(gx, gy, texel, knots, arms * 1.4f) * v3(1.0f, 0.45f, 0.7f);
            tone_map(c.x, c.y, c.z, 0.8f, &img.pixels[(size_t(py) * size + px) * 3]);
        }
    });
    return img;
}
