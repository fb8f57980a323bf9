// The environment seen in a mirrored ball, for sphere-mapped reflections on the model.
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"
#include "tools/pictures/vec3.h"

#include <cmath>

static const int SIZE = 512;
static const uint32_t SEED = 4242;

// The world around the ball: y up, +z towards the viewer. A bright sky with a sun and
// a few studio lights above a dark, tiled floor, so the metal shows a crisp horizon.
static vec3 environment(vec3 r)
{
    vec3 sun = normalize(v3(0.5f, 0.55f, 0.65f));
    if (r.y > 0.0f) {
        vec3 sky = mix(v3(0.85f, 0.80f, 0.78f), v3(0.12f, 0.28f, 0.62f), std::pow(r.y, 0.5f));
        float cloud = smoothstep(0.05f, 0.5f, fbm2(r.x / (r.y + 0.2f) * 2.0f, r.z / (r.y + 0.2f) * 2.0f, 5, SEED));
        sky = mix(sky, v3(0.95f, 0.93f, 0.9f), cloud * 0.6f * smoothstep(0.0f, 0.3f, r.y));
        float mu = dot(r, sun);
        sky = sky + v3(1.0f, 0.85f, 0.6f) * (std::pow(clamp01(mu), 400.0f) * 20.0f + std::pow(clamp01(mu), 12.0f) * 0.5f);
        // Long light panels overhead, like a studio's soft boxes.
        float az = std::atan2(r.x, -r.z);
        for (int i = 0; i < 3; ++i) {
            float centre = -2.2f + float(i) * 2.2f;
            float da = std::fabs(std::remainder(az - centre, 6.2831853f));
            if (da < 0.16f && r.y > 0.35f && r.y < 0.8f) sky = sky + v3(2.2f, 2.1f, 2.0f);
        }
        return sky;
    }
    // The floor: dark stone tiles seen towards a glowing horizon.
    float t = -1.0f / (r.y - 0.02f);
    float fx = r.x * t * 2.5f, fz = r.z * t * 2.5f;
    float gx = fx - std::floor(fx), gz = fz - std::floor(fz);
    bool odd = (int(std::floor(fx)) + int(std::floor(fz))) & 1;
    float line = (gx < 0.04f || gz < 0.04f) ? 0.4f : 1.0f;
    vec3 floor_c = (odd ? v3(0.04f, 0.035f, 0.03f) : v3(0.13f, 0.10f, 0.08f)) * line;
    float haze = std::exp(r.y * 14.0f);
    return mix(floor_c, v3(0.9f, 0.7f, 0.55f), haze * 0.8f);
}

image8 render_sphere_map()
{
    image8 img = make_image(SIZE, SIZE, 3);
    vec3 rim = environment(v3(0.0f, 0.0f, -1.0f));
    parallel_rows(SIZE, [&](int py) {
        for (int px = 0; px < SIZE; ++px) {
            vec3 sum = v3(0.0f);
            // Four samples per pixel: the outer ring of the ball squeezes half the world.
            for (int k = 0; k < 4; ++k) {
                float u = (px + 0.25f + 0.5f * (k & 1)) / SIZE * 2.0f - 1.0f;
                float v = 1.0f - (py + 0.25f + 0.5f * (k >> 1)) / SIZE * 2.0f;
                float rr = u * u + v * v;
                if (rr >= 1.0f) {
                    sum = sum + rim;
                    continue;
                }
                float nz = std::sqrt(1.0f - rr);
                vec3 refl = v3(2.0f * nz * u, 2.0f * nz * v, 2.0f * nz * nz - 1.0f);
                sum = sum + environment(refl);
            }
            vec3 c = sum * 0.25f;
            tone_map(c.x, c.y, c.z, 1.0f, &img.pixels[(size_t(py) * SIZE + px) * 3]);
        }
    });
    return img;
}
