// Renders one slide: camera rays, surface lighting, water reflections and aerial haze.
#include "tools/pictures/film.h"
#include "tools/pictures/march.h"
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <cmath>
#include <vector>

// Haze thickening towards the ground (exponential in height), tinted by the sun it faces.
static vec3 apply_fog(const slide_look& look, vec3 col, vec3 o, vec3 d, float t)
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

// Shadow and occlusion change slowly across a surface: the samples of one pixel that land on the same
// surface within the pixel's footprint share them, while normal and colour stay per sample.
struct light_cache {
    bool valid;
    hit_kind kind;
    vec3 p;
    float radius;
    float shadow;  // below 0: not measured yet
    float ao;
};
static thread_local light_cache g_cache;
// Angle one pixel of the picture being made spans: the footprint that detail is filtered by.
static float g_pixel_angle = 0.001f;

static vec3 light_surface(const slide_look& look, vec3 p, vec3 n, vec3 albedo, float scale, float t, hit_kind kind,
                          int depth)
{
    int oct = march_octaves(look, t);
    vec3 l = sun_direction(look);
    float ndl = dot(n, l);
    bool cached = depth == 0 && g_cache.valid && g_cache.kind == kind && length(p - g_cache.p) < g_cache.radius;
    if (!cached && depth == 0)
        g_cache = light_cache{true, kind, p, std::max(t * g_pixel_angle * 1.5f, 1e-3f), -1.0f, -1.0f};
    float sun = 0.0f;
    if (ndl > 0.0f && look.sun_elevation > -3.0f) {
        float reach = look.terrain == terrain_flat || look.terrain == terrain_none ? 80.0f : look.terrain_scale * 3.0f;
        float vis = depth == 0 ? g_cache.shadow : -1.0f;
        if (vis < 0.0f) vis = soft_shadow(look, p + n * (scale * 0.05f), l, reach, oct);
        if (depth == 0) g_cache.shadow = vis;
        sun = ndl * vis;
    }
    float ao = depth == 0 ? g_cache.ao : -1.0f;
    if (ao < 0.0f) ao = occlusion(look, p, n, scale, oct);
    if (depth == 0) g_cache.ao = ao;
    vec3 sky = (look.zenith * 0.8f + look.horizon * 0.25f) * (0.55f + 0.45f * n.y);
    vec3 bounce = albedo * look.sun_colour * (0.08f * clamp01(l.y) * (0.5f - 0.5f * n.y));
    return albedo * (look.sun_colour * sun + sky * ao) + bounce * ao;
}

static int g_sample_side = 4;
static bool g_show_progress = false;

void set_slide_samples(int side)
{
    g_sample_side = side < 1 ? 1 : side;
}
void set_slide_progress(bool on)
{
    g_show_progress = on;
}

static vec3 shade(const slide_look& look, vec3 o, vec3 d, int depth, bool sun_disc, float t_start);

// The sun's (or moon's) glitter on waves as a Beckmann lobe: the slopes of wave octaves too fine for
// the pixel widen the lobe instead of flickering, so the light path stays as bright but turns smooth.
static vec3 glitter(const slide_look& look, vec3 p, vec3 n, vec3 d, float slope_var, float t)
{
    if (look.body == body_none) return v3(0.0f);
    vec3 l = sun_direction(look);
    if (l.y < -0.01f) return v3(0.0f);
    vec3 v = -d;
    vec3 h = normalize(l + v);
    float nh = std::max(dot(n, h), 1e-3f), nv = std::max(dot(n, v), 0.05f);
    float m2 = 1.5e-4f + slope_var;
    float c2 = nh * nh, tan2 = (1.0f - c2) / c2;
    float lobe = std::exp(-tan2 / m2) / (3.14159265f * m2 * c2 * c2);
    if (lobe < 1e-3f) return v3(0.0f);
    float fresnel = 0.02f + 0.98f * std::pow(1.0f - clamp01(dot(v, h)), 5.0f);
    // Light arriving from the disc: its radiance in the sky times the solid angle it covers.
    vec3 irradiance = look.body == body_sun ? look.sun_colour * (40.0f * 3.77e-4f)
                                            : v3(1.0f, 0.98f, 0.92f) * (6.0f * 6.28e-4f);
    float lit = 1.0f;
    if (look.terrain != terrain_none || look.objects != object_none)
        lit = soft_shadow(look, p + v3(0, 0.05f, 0), l, 4000.0f, march_octaves(look, t));
    return irradiance * (fresnel * lobe * lit / (4.0f * nv));
}

// The lighthouse's beam as light scattered by the air along it: brightest where the ray passes closest
// to its axis, widening and fading with distance from the lantern.
static vec3 beam_glow(const slide_look& look, vec3 o, vec3 d, float t_max)
{
    if (look.beam <= 0.0f) return v3(0.0f);
    const vec3 lantern = v3(-30.0f, 28.0f, -150.0f);
    const vec3 axis = direction_deg(-1.5f, -112.0f);
    vec3 w0 = o - lantern;
    float bd = dot(d, axis), dd = dot(d, w0), e = dot(axis, w0);
    float den = std::max(1.0f - bd * bd, 1e-4f);
    float t = (bd * e - dd) / den, s = e + bd * t;
    if (s < 0.0f) {
        s = 0.0f;
        t = -dd;
    }
    if (t < 0.0f || t > t_max) return v3(0.0f);
    float r = length(w0 + d * t - axis * s);
    float width = 0.9f + 0.05f * s;
    float glow =
        std::exp(-(r * r) / (width * width)) * std::exp(-s / 900.0f) / (width * std::max(std::sqrt(den), 0.15f));
    return v3(1.0f, 0.86f, 0.62f) * (look.beam * glow);
}

static vec3 shade_water(const slide_look& look, vec3 p, vec3 d, float t, int depth)
{
    // Wave normals, their octaves filtered by the pixel's footprint on the water (stretched where it is seen edge-on).
    float s = look.waves;
    float f = 0.35f / (look.wave_size > 0.0f ? look.wave_size : 1.0f);
    float footprint = t * g_pixel_angle / std::max(-d.y, 0.02f) * f * 2.5f * 0.5f;
    float e = 0.05f / (look.wave_size > 0.0f ? look.wave_size : 1.0f), lost = 0.0f;
    float w0 = fbm2_footprint(p.x * f, p.z * f * 2.5f, 6, look.seed + 15, footprint, &lost);
    float wx = fbm2_footprint((p.x + e) * f, p.z * f * 2.5f, 6, look.seed + 15, footprint, nullptr);
    float wz = fbm2_footprint(p.x * f, (p.z + e) * f * 2.5f, 6, look.seed + 15, footprint, nullptr);
    vec3 n = normalize(v3((w0 - wx) / e * s, 1.0f, (w0 - wz) / e * s));
    float slope_var = lost * (s * f * 1.3f) * (s * f * 1.3f);
    vec3 r = reflect(d, n);
    if (r.y < 0.0f) r.y = -r.y;
    // The sun's own image comes from the glitter lobe, not from the disc seen in the mirror.
    vec3 reflected = depth < 1 ? shade(look, p + v3(0, 0.01f, 0), r, depth + 1, false, 0.01f)
                               : sky_colour(look, r, false);
    float c = clamp01(-dot(d, n));
    float fresnel = 0.02f + 0.98f * std::pow(1.0f - c, 5.0f);
    float floor_h = look.terrain == terrain_none ? -1e9f : ground_height(look, p.x, p.z, 5);
    float depth_below = std::max(look.water_level - floor_h, 0.0f);
    vec3 body = mix(look.water_shallow, look.water_deep, 1.0f - std::exp(-depth_below * 0.2f));
    vec3 l = sun_direction(look);
    vec3 lit = body * (look.sun_colour * clamp01(l.y) * 0.6f + look.zenith * 0.8f + look.horizon * 0.2f);
    vec3 col = mix(lit, reflected, fresnel) + glitter(look, p, n, d, slope_var, t);
    return apply_fog(look, col, p - d * t, d, t) + beam_glow(look, p - d * t, d, t);
}

static vec3 shade(const slide_look& look, vec3 o, vec3 d, int depth, bool sun_disc, float t_start = 0.01f)
{
    hit h = march_scene(look, o, d, true, t_start);
    if (h.kind == hit_sky) return sky_colour(look, d, sun_disc) + beam_glow(look, o, d, 1e9f);
    vec3 p = o + d * h.t;
    if (h.kind == hit_water) return shade_water(look, p, d, h.t, depth);
    vec3 col;
    if (h.kind == hit_ground) {
        vec3 n = ground_normal(look, p, h.t);
        vec3 albedo = ground_albedo(look, p, n);
        float scale = look.terrain == terrain_flat ? 0.3f : std::max(0.3f, h.t * 0.01f);
        if (is_cloud(look, p)) {
            // Cloud tops scatter light softly: wrapped sun, bright sky fill, no hard shadow.
            vec3 l = sun_direction(look);
            float wrap = clamp01(dot(n, l) * 0.85f + 0.15f);
            col = look.sun_colour * (wrap * wrap * 0.75f) +
                (look.zenith * 1.0f + look.horizon * 0.35f) * (0.5f + 0.5f * n.y);
            // Light soaks into the folds between the billows, and glows through the edges facing the sun.
            float fold = clamp01((p.y - look.terrain_height * 0.45f) / 120.0f);
            float through = std::pow(clamp01(dot(d, l)), 4.0f) * (1.0f - fold);
            col = col * (0.45f + 0.55f * fold) + look.sun_colour * (through * 0.5f);
        } else {
            col = light_surface(look, p, n, albedo, scale, h.t, h.kind, depth);
        }
        // The still-life table is polished: a faint mirror of the balls.
        if (look.objects == object_spheres && depth < 1) {
            vec3 r = reflect(d, n);
            float fresnel = 0.04f + 0.96f * std::pow(1.0f - clamp01(-dot(d, n)), 5.0f);
            col = mix(col, shade(look, p + n * 0.002f, r, depth + 1, sun_disc, 0.01f), fresnel * 0.8f);
        }
    } else {
        vec3 n = objects_normal(look, p, h.t);
        surface s = objects_surface(look, p, n);
        col = light_surface(look, p, n, s.albedo, look.objects == object_city ? 2.0f : 0.25f, h.t, h.kind, depth) *
            (1.0f - s.reflect);
        if (s.reflect > 0.0f) {
            vec3 r = reflect(d, n);
            vec3 env = depth < 1 ? shade(look, p + n * 0.003f, r, depth + 1, sun_disc, 0.01f)
                                 : sky_colour(look, r, sun_disc);
            float fresnel = s.reflect + (1.0f - s.reflect) * std::pow(1.0f - clamp01(-dot(d, n)), 5.0f);
            vec3 tint = s.reflect > 0.5f ? s.albedo : v3(1.0f);
            col = col + env * tint * fresnel;
        }
        col = col + s.emission;
    }
    return apply_fog(look, col, o, d, h.t) + beam_glow(look, o, d, h.t);
}

static void report_progress(int number, int done, int total)
{
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    int bar = done * 30 / total;
    std::fprintf(stderr, "\rBilde%02d [%-30.*s] %3d%%", number, bar, "##############################",
                 done * 100 / total);
    if (done == total) std::fprintf(stderr, "\r%60s\r", "");
    std::fflush(stderr);
}

image8 render_slide(int number, int size)
{
    const slide_look& look = slide_look_for(number);
    image8 img = make_image(size, size, 3);
    // The eye stands a given height above whatever is beneath it.
    vec3 eye = look.cam_pos;
    float below = look.terrain == terrain_none ? -1e9f : ground_height(look, eye.x, eye.z, 8);
    below = std::max(below, look.water_level > -1e3f ? look.water_level : -1e9f);
    if (below < -1e8f) below = 0.0f;
    eye.y = below + look.cam_pos.y;
    vec3 fwd = direction_deg(look.cam_pitch, look.cam_yaw);
    vec3 right = normalize(cross(fwd, v3(0, 1, 0)));
    vec3 up = cross(right, fwd);
    float span = std::tan(look.fov * 0.5f * 3.14159265f / 180.0f);
    g_pixel_angle = 2.0f * span / size;
    set_sky_pixel_angle(g_pixel_angle);
    // Every pixel is the mean of side x side stratified samples, in linear light.
    std::vector<vec3> linear(size_t(size) * size);
    std::atomic<int> rows_done{0};
    int side = g_sample_side, count = side * side;
    parallel_rows(size, [&](int y) {
        for (int x = 0; x < size; ++x) {
            vec3 sum = v3(0.0f);
            g_cache.valid = false;
            uint32_t pixel_seed = uint32_t(y) * 4099U + uint32_t(x) + look.seed * 7919U;
            float cu = ((x + 0.5f) / size) * 2.0f - 1.0f, cv = 1.0f - ((y + 0.5f) / size) * 2.0f;
            float t0 = cone_start(look, eye, normalize(fwd + right * (cu * span) + up * (cv * span)),
                                  g_pixel_angle * 0.75f);
            for (int k = 0; k < count; ++k) {
                float dx, dy;
                stratified_sample(k, side, pixel_seed, &dx, &dy);
                float u = ((x + dx) / size) * 2.0f - 1.0f, v = 1.0f - ((y + dy) / size) * 2.0f;
                sum = sum + shade(look, eye, normalize(fwd + right * (u * span) + up * (v * span)), 0, true, t0);
            }
            // A gentle vignette centred on the band the screen shows; exposure before the glow.
            float u = (x + 0.5f) / size - 0.5f, v = ((y + 0.5f) / size - 0.5f) / 0.746f;
            float vig = 1.0f - 0.35f * (u * u + v * v);
            linear[size_t(y) * size + x] = sum * (vig * look.exposure / float(count));
        }
        int done = ++rows_done;
        if (g_show_progress && (done % 8 == 0 || done == size)) report_progress(number, done, size);
    });
    add_bloom(linear, size, size, 3.0f, 0.3f);
    for (size_t i = 0; i < linear.size(); ++i) film_tone(linear[i], &img.pixels[i * 3]);
    return img;
}
