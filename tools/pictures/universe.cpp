// The spinning backdrop: a face-on spiral galaxy among stars, dark enough to stay behind the model.
//
// Only the disc of radius 0.83 (in half-widths) around the centre is ever on screen, magnified about
// 1.5 times (one texel covers 1.5 pixels). So nothing in it is finer than about three texels: the
// arms are built of star clouds, pink knots of gas and blue clusters a few texels across, their dust
// lanes of feathered filaments; every star is a soft round spot two to three texels wide, so that
// magnified it is a small round light, never a one-pixel dot.
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"
#include "tools/pictures/vec3.h"

#include <cmath>

static const uint32_t k_seed = 2008;
static const float k_visible = 0.83f;   // radius of the part ever on screen, in half-widths
static const int k_smooth_samples = 3;  // per side, for everything but the spots
static const float k_tilt = 0.5f;       // the galaxy's long axis, radians
static const float k_squash = 0.8f;     // seen a little inclined

// Round spots scattered one at most per cell of a grid: stars, knots and clusters. Each is a
// gaussian `sigma` texels wide; `density` scales each cell's chance (spots that follow the arms).
struct spot_layer {
    float cell;                  // cell side, in half-widths
    float chance;                // share of cells holding a spot
    float sigma_min, sigma_max;  // texels
    float brightness;
    uint32_t seed;
};

static vec3 star_tint(float temp)
{
    if (temp < 0.2f) return v3(1.0f, 0.72f, 0.5f);
    if (temp < 0.7f) return v3(1.0f, 0.94f, 0.86f);
    return v3(0.7f, 0.8f, 1.0f);
}

// The sum of the spots near (x, y): each cell's spot at a random place in it, a random size and a
// brightness that is mostly faint (a steep power of a uniform number).
static vec3 spots(float x, float y, float texel, const spot_layer& l, float density, bool tinted)
{
    float fx = x / l.cell, fy = y / l.cell;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    vec3 sum = v3(0.0f);
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            if (hash2(cx, cy, l.seed) > l.chance * density) continue;
            float sx = cx + hash2(cx, cy, l.seed + 1), sy = cy + hash2(cx, cy, l.seed + 2);
            float d2 = ((fx - sx) * (fx - sx) + (fy - sy) * (fy - sy)) * (l.cell / texel) * (l.cell / texel);
            float mag = std::pow(hash2(cx, cy, l.seed + 3), 6.0f);
            float sigma = mixf(l.sigma_min, l.sigma_max, std::sqrt(mag));
            if (d2 > 16.0f * sigma * sigma) continue;
            float glow = std::exp(-d2 / (2.0f * sigma * sigma)) * l.brightness * (0.15f + 3.0f * mag);
            sum = sum + (tinted ? star_tint(hash2(cx, cy, l.seed + 4)) : v3(1.0f)) * glow;
        }
    return sum;
}

// The galaxy's own plane: turned to its long axis and stretched back from the inclination.
static void to_plane(float x, float y, float* gx, float* gy)
{
    *gx = std::cos(k_tilt) * x + std::sin(k_tilt) * y;
    *gy = (-std::sin(k_tilt) * x + std::cos(k_tilt) * y) / k_squash;
}

// The arms' phase: two logarithmic spirals, bent and broken by noise so that spurs branch off them.
static float spiral_phase(float gx, float gy, float r)
{
    float a = std::atan2(gy, gx);
    float warp = fbm2(gx * 3.0f, gy * 3.0f, 3, k_seed + 10) * 0.8f + fbm2(gx * 9.0f, gy * 9.0f, 2, k_seed + 13) * 0.25f;
    return 2.0f * (a - std::log(r + 0.03f) * 2.4f) + warp;
}

static float arm_strength(float phase)
{
    return std::pow(0.5f + 0.5f * std::cos(phase), 2.6f);
}

// Everything smooth: the disc and its arms of star clouds, the dust lanes, the bulge, faint nebulae.
static vec3 smooth_light(float x, float y, float gx, float gy)
{
    float r = std::sqrt(gx * gx + gy * gy);
    float phase = spiral_phase(gx, gy, r);
    float arms = arm_strength(phase);
    // the arms break up into clouds of stars, from a tenth of the disc down to a few texels
    float clouds = smoothstep(-0.3f, 0.45f, fbm2(gx * 14.0f, gy * 14.0f, 4, k_seed + 11));
    float envelope = std::exp(-r / 0.34f) * smoothstep(k_visible + 0.05f, 0.45f, r);
    float disc = envelope * (0.06f + 1.25f * arms * (0.35f + 0.65f * clouds));
    vec3 young = v3(0.45f, 0.6f, 1.0f), old = v3(1.0f, 0.82f, 0.64f);
    vec3 col = mix(old, young, smoothstep(0.06f, 0.32f, r) * (0.4f + 0.6f * arms)) * disc;
    // dust along the inner edge of each arm, broken into patches and strands that run with the arm
    float lane = std::pow(0.5f + 0.5f * std::cos(phase - 0.75f), 4.0f);
    float strands = smoothstep(-0.2f, 0.45f, fbm2(phase * 1.3f, r * 30.0f, 4, k_seed + 12));
    float patches = smoothstep(-0.1f, 0.5f, fbm2(gx * 11.0f, gy * 11.0f, 3, k_seed + 14));
    float dust = clamp01(lane * strands * (0.5f + 0.5f * patches) * 1.3f) * smoothstep(0.03f, 0.12f, r);
    col = col * (1.0f - 0.85f * dust) + v3(0.12f, 0.05f, 0.02f) * (dust * envelope * 0.25f);
    // the bulge, warm, smooth, with a bright small core
    float bulge = std::exp(-r * r / (2.0f * 0.055f * 0.055f));
    col = col + v3(1.0f, 0.8f, 0.55f) * (bulge * 1.15f) +
        v3(1.0f, 0.95f, 0.86f) * (std::exp(-r * r / 0.00035f) * 1.3f);
    // faint nebulae far out, in the corners of the view
    float n1 = fbm2(x * 2.2f + 10.0f, y * 2.2f, 5, k_seed + 20);
    float n2 = fbm2(x * 1.7f, y * 1.7f - 4.0f, 5, k_seed + 21);
    col = col + v3(0.35f, 0.08f, 0.45f) * (smoothstep(0.05f, 0.6f, n1) * 0.07f) +
        v3(0.05f, 0.30f, 0.40f) * (smoothstep(0.1f, 0.6f, n2) * 0.06f);
    return col;
}

image8 render_universe(int size)
{
    image8 img = make_image(size, size, 3);
    const float texel = 2.0f / size;
    // field stars in front of the galaxy, a few bright ones with a wider glow
    const spot_layer stars = {0.045f, 0.55f, 0.85f, 1.3f, 0.55f, k_seed + 30};
    const spot_layer bright = {0.16f, 0.5f, 1.2f, 1.8f, 1.1f, k_seed + 40};
    // in the arms: blue clusters of young stars and pink knots of glowing gas
    const spot_layer clusters = {0.02f, 0.45f, 1.0f, 2.2f, 0.22f, k_seed + 50};
    const spot_layer knots = {0.03f, 0.4f, 1.3f, 2.6f, 0.35f, k_seed + 60};
    parallel_rows(size, [&](int py) {
        for (int px = 0; px < size; ++px) {
            vec3 c = v3(0.0f);
            for (int k = 0; k < k_smooth_samples * k_smooth_samples; ++k) {
                float x = (px + (k % k_smooth_samples + 0.5f) / k_smooth_samples) * texel - 1.0f;
                float y = 1.0f - (py + (k / k_smooth_samples + 0.5f) / k_smooth_samples) * texel;
                float gx, gy;
                to_plane(x, y, &gx, &gy);
                c = c + smooth_light(x, y, gx, gy);
            }
            c = c * (1.0f / (k_smooth_samples * k_smooth_samples));

            float x = (px + 0.5f) * texel - 1.0f, y = 1.0f - (py + 0.5f) * texel;
            float gx, gy;
            to_plane(x, y, &gx, &gy);
            float r = std::sqrt(gx * gx + gy * gy);
            float arms = arm_strength(spiral_phase(gx, gy, r)) * smoothstep(0.8f, 0.12f, r);
            c = c + spots(x, y, texel, stars, 1.0f, true) + spots(x, y, texel, bright, 1.0f, true);
            c = c + spots(gx, gy, texel, clusters, arms * 1.5f, false) * v3(0.55f, 0.7f, 1.0f);
            c = c + spots(gx, gy, texel, knots, arms * 1.3f, false) * v3(1.0f, 0.42f, 0.62f);
            tone_map(c.x, c.y, c.z, 0.8f, &img.pixels[(size_t(py) * size + px) * 3]);
        }
    });
    return img;
}
