// The environment seen in a mirrored ball, for sphere-mapped reflections on the model.
#include "tools/pictures/pictures.h"
#include "tools/pictures/vec3.h"

#include <cmath>

// Samples per pixel along each side: 4 x 4 stratified. The ball's outer ring squeezes half the
// world into a few pixels, so every pixel is an average, never a point sample.
static const int k_samples = 4;

// One broad soft light: a disc of the given angular radius whose edge fades over `soft` degrees.
struct soft_light {
    float elevation, azimuth;  // degrees; azimuth 0 looks down -z (away from the viewer), 180 at the viewer
    float radius, soft;        // degrees
    vec3 colour;
};

// A key light above and to the left of the viewer, a long cool fill from the upper right, and a
// warm rim low behind the model: each shows on the metal as one smooth highlight.
static const soft_light g_lights[] = {
    {38.0f, 215.0f, 16.0f, 12.0f, {3.2f, 2.9f, 2.7f}},
    {24.0f, 115.0f, 22.0f, 16.0f, {0.55f, 0.75f, 1.45f}},
    {8.0f, 10.0f, 14.0f, 14.0f, {1.6f, 0.75f, 0.95f}},
};

static float angle_deg(vec3 a, vec3 b)
{
    float c = dot(a, b);
    c = c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c);
    return std::acos(c) * (180.0f / 3.14159265f);
}

static vec3 studio_environment(vec3 r)
{
    // The room: a deep blue-violet dome over a floor graded from near black to warm at the horizon,
    // the two meeting in a soft rose-amber glow. Everything varies slowly: sphere mapping interpolates
    // between the model's vertices, and any fine pattern would turn to moire there.
    float y = r.y;
    vec3 c;
    if (y >= 0.0f) {
        c = mix(v3(0.16f, 0.13f, 0.26f), v3(0.025f, 0.03f, 0.09f), std::pow(y, 0.6f));
    } else {
        float d = std::pow(-y, 0.55f);
        c = mix(v3(0.42f, 0.24f, 0.17f), v3(0.012f, 0.010f, 0.016f), d);
    }
    float glow = std::exp(-std::fabs(y) * 9.0f);
    c = c + v3(0.95f, 0.52f, 0.42f) * (glow * 0.55f);
    for (const soft_light& l : g_lights) {
        float a = angle_deg(r, direction_deg(l.elevation, l.azimuth));
        float w = smoothstep(l.radius + l.soft, l.radius - l.soft * 0.5f, a);
        c = c + l.colour * w;
    }
    return c;
}

image8 render_sphere_map(int size)
{
    image8 img = make_image(size, size, 3);
    vec3 rim = studio_environment(v3(0.0f, 0.0f, -1.0f));
    parallel_rows(size, [&](int py) {
        for (int px = 0; px < size; ++px) {
            vec3 sum = v3(0.0f);
            for (int k = 0; k < k_samples * k_samples; ++k) {
                float u = (px + (k % k_samples + 0.5f) / k_samples) / size * 2.0f - 1.0f;
                float v = 1.0f - (py + (k / k_samples + 0.5f) / k_samples) / size * 2.0f;
                float rr = u * u + v * v;
                if (rr >= 1.0f) {
                    sum = sum + rim;
                    continue;
                }
                // the ball's normal at (u, v), and the view ray (0, 0, -1) reflected in it
                float nz = std::sqrt(1.0f - rr);
                sum = sum + studio_environment(v3(2.0f * nz * u, 2.0f * nz * v, 2.0f * nz * nz - 1.0f));
            }
            vec3 c = sum * (1.0f / (k_samples * k_samples));
            tone_map(c.x, c.y, c.z, 1.0f, &img.pixels[(size_t(py) * size + px) * 3]);
        }
    });
    return img;
}
