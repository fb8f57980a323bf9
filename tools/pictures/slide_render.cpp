// Renders one slide: camera rays, surface lighting, water reflections and aerial haze.
#include "tools/pictures/march.h"
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Haze thickening towards the ground (exponential in height), tinted by the sun it faces.
static vec3 apply_fog(const slide_look &look, vec3 col, vec3 o, vec3 d, float t)
{
    if (look.fog_density <= 0.0f) return col;
    float b = 1.0f / look.fog_height;
    float dy = std::fabs(d.y) < 1e-4f ? 1e-4f : d.y;
    float amount = look.fog_density * std::exp(-o.y * b) * (1.0f - std::exp(-t * dy * b)) / (dy * b);
    // A faint even haze on top, so the far horizon softens even above a low fog.
    amount += look.fog_density * 0.004f * t;
    float f = 1.0f - std::exp(-std::max(amount, 0.0f));
    float towards = std::pow(clamp01(dot(d, sun_direction(look))), 8.0f);
    vec3 fog = mix(look.horizon, look.horizon * 0.4f + look.sun_colour * 0.45f, towards);
    return mix(col, fog, f);
}

static vec3 light_surface(const slide_look &look, vec3 p, vec3 n, vec3 albedo, float scale, float t)
{
    int oct = march_octaves(look, t);
    vec3 l = sun_direction(look);
    float ndl = dot(n, l);
    float sun = 0.0f;
    if (ndl > 0.0f && look.sun_elevation > -3.0f) {
        float reach = look.terrain == T_FLAT || look.terrain == T_NONE ? 80.0f : look.terrain_scale * 3.0f;
        sun = ndl * soft_shadow(look, p + n * (scale * 0.05f), l, reach, oct);
    }
    float ao = occlusion(look, p, n, scale, oct);
    vec3 sky = (look.zenith * 0.8f + look.horizon * 0.25f) * (0.55f + 0.45f * n.y);
    vec3 bounce = albedo * look.sun_colour * (0.08f * clamp01(l.y) * (0.5f - 0.5f * n.y));
    return albedo * (look.sun_colour * sun + sky * ao) + bounce * ao;
}

static vec3 shade(const slide_look &look, vec3 o, vec3 d, int depth);

static vec3 shade_water(const slide_look &look, vec3 p, vec3 d, float t, int depth)
{
    vec3 l = sun_direction(look);
    // Wave normals fade with distance so far water stays calm instead of aliasing.
    float s = look.waves / (1.0f + t * 0.004f);
    float f = 0.35f;
    float e = 0.05f;
    float w0 = fbm2(p.x * f, p.z * f * 2.5f, 5, look.seed + 15);
    float wx = fbm2((p.x + e) * f, p.z * f * 2.5f, 5, look.seed + 15);
    float wz = fbm2(p.x * f, (p.z + e) * f * 2.5f, 5, look.seed + 15);
    vec3 n = normalize(v3((w0 - wx) / e * s, 1.0f, (w0 - wz) / e * s));
    vec3 r = reflect(d, n);
    if (r.y < 0.0f) r.y = -r.y;
    vec3 reflected = depth < 1 ? shade(look, p + v3(0, 0.01f, 0), r, depth + 1) : sky_colour(look, r, true);
    float c = clamp01(-dot(d, n));
    float fresnel = 0.02f + 0.98f * std::pow(1.0f - c, 5.0f);
    float floor_h = look.terrain == T_NONE ? -1e9f : ground_height(look, p.x, p.z, 5);
    float depth_below = std::max(look.water_level - floor_h, 0.0f);
    vec3 body = mix(look.water_shallow, look.water_deep, 1.0f - std::exp(-depth_below * 0.2f));
    vec3 lit = body * (look.sun_colour * clamp01(l.y) * 0.6f + look.zenith * 0.8f + look.horizon * 0.2f);
    vec3 col = mix(lit, reflected, fresnel);
    return apply_fog(look, col, p - d * t, d, t);
}

static vec3 shade(const slide_look &look, vec3 o, vec3 d, int depth)
{
    hit h = march_scene(look, o, d, true);
    if (h.kind == HIT_SKY) return sky_colour(look, d, true);
    vec3 p = o + d * h.t;
    if (h.kind == HIT_WATER) return shade_water(look, p, d, h.t, depth);
    vec3 col;
    if (h.kind == HIT_GROUND) {
        vec3 n = ground_normal(look, p, h.t);
        vec3 albedo = ground_albedo(look, p, n);
        float scale = look.terrain == T_FLAT ? 0.3f : std::max(0.3f, h.t * 0.01f);
        if (is_cloud(look, p)) {
            // Cloud tops scatter light softly: wrapped sun, bright sky fill, no hard shadow.
            vec3 l = sun_direction(look);
            float wrap = clamp01(dot(n, l) * 0.85f + 0.15f);
            col = look.sun_colour * (wrap * wrap * 0.75f) + (look.zenith * 1.0f + look.horizon * 0.35f) * (0.5f + 0.5f * n.y);
        } else {
            col = light_surface(look, p, n, albedo, scale, h.t);
        }
        // The still-life table is polished: a faint mirror of the balls.
        if (look.objects == O_SPHERES && depth < 1) {
            vec3 r = reflect(d, n);
            float fresnel = 0.04f + 0.96f * std::pow(1.0f - clamp01(-dot(d, n)), 5.0f);
            col = mix(col, shade(look, p + n * 0.002f, r, depth + 1), fresnel * 0.8f);
        }
    } else {
        vec3 n = objects_normal(look, p, h.t);
        surface s = objects_surface(look, p, n);
        col = light_surface(look, p, n, s.albedo, look.objects == O_CITY ? 2.0f : 0.25f, h.t) * (1.0f - s.reflect);
        if (s.reflect > 0.0f) {
            vec3 r = reflect(d, n);
            vec3 env = depth < 1 ? shade(look, p + n * 0.003f, r, depth + 1) : sky_colour(look, r, true);
            float fresnel = s.reflect + (1.0f - s.reflect) * std::pow(1.0f - clamp01(-dot(d, n)), 5.0f);
            vec3 tint = s.reflect > 0.5f ? s.albedo : v3(1.0f);
            col = col + env * tint * fresnel;
        }
        col = col + s.emission;
    }
    return apply_fog(look, col, o, d, h.t);
}

image8 render_slide(int number, int size)
{
    const slide_look &look = slide_look_for(number);
    image8 img = make_image(size, size, 3);
    // The eye stands a given height above whatever is beneath it.
    vec3 eye = look.cam_pos;
    float below = look.terrain == T_NONE ? -1e9f : ground_height(look, eye.x, eye.z, 8);
    below = std::max(below, look.water_level > -1e3f ? look.water_level : -1e9f);
    if (below < -1e8f) below = 0.0f;
    eye.y = below + look.cam_pos.y;
    vec3 fwd = direction_deg(look.cam_pitch, look.cam_yaw);
    vec3 right = normalize(cross(fwd, v3(0, 1, 0)));
    vec3 up = cross(right, fwd);
    float span = std::tan(look.fov * 0.5f * 3.14159265f / 180.0f);
    set_sky_pixel_angle(2.0f * span / size);
    auto primary = [&](float px, float py) {
        float u = (px / size) * 2.0f - 1.0f, v = 1.0f - (py / size) * 2.0f;
        return shade(look, eye, normalize(fwd + right * (u * span) + up * (v * span)), 0);
    };
    // One ray through every pixel centre first...
    std::vector<vec3> centre(size_t(size) * size);
    parallel_rows(size, [&](int y) {
        for (int x = 0; x < size; ++x) centre[size_t(y) * size + x] = primary(x + 0.5f, y + 0.5f);
    });
    // ...then four more where a pixel stands out from its neighbours: edges and glints.
    parallel_rows(size, [&](int y) {
        for (int x = 0; x < size; ++x) {
            vec3 c = centre[size_t(y) * size + x];
            float l = std::log(0.02f + dot(c, v3(0.3f, 0.6f, 0.1f)));
            float contrast = 0.0f;
            for (int k = 0; k < 4; ++k) {
                int nx = std::min(std::max(x + (k == 0) - (k == 1), 0), size - 1);
                int ny = std::min(std::max(y + (k == 2) - (k == 3), 0), size - 1);
                vec3 n = centre[size_t(ny) * size + nx];
                contrast = std::max(contrast, std::fabs(std::log(0.02f + dot(n, v3(0.3f, 0.6f, 0.1f))) - l));
            }
            if (contrast > 0.25f) {
                static const float offs[4][2] = {{0.125f, 0.375f}, {0.375f, 0.875f}, {0.625f, 0.125f}, {0.875f, 0.625f}};
                vec3 sum = c;
                for (int k = 0; k < 4; ++k) sum = sum + primary(x + offs[k][0], y + offs[k][1]);
                c = sum * 0.2f;
            }
            // A gentle vignette centred on the band the screen shows.
            float u = (x + 0.5f) / size - 0.5f, v = ((y + 0.5f) / size - 0.5f) / 0.746f;
            float vig = 1.0f - 0.35f * (u * u + v * v);
            tone_map(c.x * vig, c.y * vig, c.z * vig, look.exposure, &img.pixels[(size_t(y) * size + x) * 3]);
        }
    });
    return img;
}
