// The sky of a slide: gradient, sun or moon, a cloud layer, stars, aurora and a planet.
#include "tools/pictures/noise.h"
#include "tools/pictures/slide.h"

#include <algorithm>
#include <cmath>

// Angular size of one pixel of the picture being made: stars are never drawn smaller.
static float g_pixel_angle = 0.001f;

void set_sky_pixel_angle(float radians)
{
    g_pixel_angle = radians;
}

vec3 sun_direction(const slide_look& look)
{
    return direction_deg(look.sun_elevation, look.sun_azimuth);
}

// Cloud density on the layer, 0..1, from fbm thresholded by the cover.
static float cloud_density(const slide_look& look, float x, float z)
{
    float s = 1.0f / 900.0f;
    float warp = fbm2(x * s * 0.5f, z * s * 0.5f, 3, look.seed + 77);
    float n = fbm2(x * s + warp, z * s * 1.6f, 7, look.seed + 91) * 0.5f + 0.5f;
    return clamp01((n - (1.0f - look.clouds) * 0.75f) * 3.2f);
}

static vec3 add_clouds(const slide_look& look, vec3 d, vec3 sky, vec3 sun)
{
    if (look.clouds <= 0.0f || d.y <= 0.002f) return sky;
    float t = look.cloud_height / d.y;
    float x = d.x * t, z = d.z * t;
    float dens = cloud_density(look, x, z);
    if (dens <= 0.0f) return sky;
    // Light through the cloud towards the sun: thicker above means darker below.
    float toward = cloud_density(look, x + sun.x * 300.0f, z + sun.z * 300.0f);
    float lit = std::exp(-2.2f * toward) * 0.85f + 0.15f;
    float silver = std::pow(clamp01(dot(d, sun)), 6.0f) * (1.0f - dens) * 2.0f;
    vec3 ambient = look.zenith * 0.6f + look.horizon * 0.5f;
    vec3 colour = look.sun_colour * (lit * 0.28f + silver) + ambient * (0.55f + 0.35f * (1.0f - dens));
    // Far clouds melt into the horizon haze.
    float fade = smoothstep(0.0f, 0.12f, d.y);
    return mix(sky, colour, clamp01(dens * 1.4f) * fade);
}

// With the sun up (or barely down) the sky outshines every star, on Earth or in a photograph of the Moon.
static bool daylight(const slide_look& look)
{
    return look.body == body_sun && look.sun_elevation > -6.0f;
}

static vec3 add_stars(const slide_look& look, vec3 d, vec3 sky)
{
    if (look.stars <= 0.0f || d.y <= 0.0f || daylight(look)) return sky;
    const float cell = 0.0045f;
    float u = std::atan2(d.x, -d.z), v = std::asin(d.y);
    float fu = u / cell, fv = v / cell;
    int iu = int(std::floor(fu)), iv = int(std::floor(fv));
    vec3 sum = v3(0.0f);
    for (int dv = -1; dv <= 1; ++dv)
        for (int du = -1; du <= 1; ++du) {
            int cu = iu + du, cv = iv + dv;
            float h = hash2(cu, cv, look.seed + 5);
            if (h > 0.16f) continue;
            float sx = cu + hash2(cu, cv, look.seed + 6), sy = cv + hash2(cu, cv, look.seed + 7);
            float dx = (fu - sx) * std::cos(v), dy = fv - sy;
            // A star is a spot at least a pixel wide, its light spread rather than lost between samples.
            float radius = std::max(0.0007f, g_pixel_angle * 0.7f);
            float r2 = (dx * dx + dy * dy) * cell * cell / (radius * radius);
            float mag = (std::pow(hash2(cu, cv, look.seed + 8), 12.0f) * 8.0f + 0.06f) * (0.0007f * 0.0007f) /
                (radius * radius);
            float temp = hash2(cu, cv, look.seed + 9);
            vec3 tint = mix(v3(1.0f, 0.8f, 0.6f), v3(0.7f, 0.8f, 1.0f), temp);
            sum = sum + tint * (mag * std::exp(-r2));
        }
    float extinction = smoothstep(0.0f, 0.25f, d.y);
    return sky + sum * (look.stars * extinction);
}

// Curtains: bands along a wavy line on high layers, green low and violet on top.
static vec3 add_aurora(const slide_look& look, vec3 d, vec3 sky)
{
    if (look.aurora <= 0.0f || d.y <= 0.01f) return sky;
    vec3 sum = v3(0.0f);
    for (int i = 0; i < 24; ++i) {
        float h = 600.0f + float(i) * 45.0f;
        float t = h / d.y;
        float x = d.x * t, z = d.z * t;
        if (t > 40000.0f) break;
        float wave = fbm2(x * 0.0004f, 0.3f, 4, look.seed + 31) * 2600.0f;
        float line = z + 4200.0f + wave + 500.0f * std::sin(x * 0.0011f);
        float band = std::exp(-line * line / (2.0f * 260.0f * 260.0f));
        float rays = 0.55f + 0.45f * value_noise2(x * 0.02f, 0.5f, look.seed + 33);
        float k = float(i) / 24.0f;
        vec3 tint = mix(v3(0.1f, 1.0f, 0.35f), v3(0.55f, 0.15f, 0.9f), k * k);
        sum = sum + tint * (band * rays * (1.0f - k));
    }
    return sky + sum * (look.aurora * 0.11f);
}

// A planet hanging in the sky above the horizon, lit from the sun's side: oceans, land and weather,
// a terminator softened by its air, and the air itself as a thin glow along the lit limb.
static vec3 add_planet(const slide_look& look, vec3 d, vec3 sky, vec3 sun)
{
    if (look.planet <= 0.0f) return sky;
    vec3 c = normalize(direction_deg(16.0f, look.cam_yaw - 10.0f));
    float radius = look.planet;
    float cosang = dot(d, c);
    float ang = std::acos(cosang > 1.0f ? 1.0f : cosang);
    if (ang > radius * 1.3f) return sky;
    vec3 right = normalize(cross(c, v3(0, 1, 0))), up = cross(right, c);
    float px = dot(d, right) / std::sin(radius), py = dot(d, up) / std::sin(radius);
    float rr = px * px + py * py;
    const vec3 air = v3(0.25f, 0.5f, 1.0f);
    if (rr >= 1.0f) {
        // Outside the disc: the air's glow, fading within a few per cent of the radius, only where sunlit.
        vec3 edge = normalize(right * px + up * py);
        float lit = clamp01(dot(edge, sun) * 1.5f + 0.3f);
        return sky + air * (std::exp(-(ang - radius) / (radius * 0.025f)) * lit * 0.9f);
    }
    vec3 n = right * px + up * py - c * std::sqrt(1.0f - rr);
    float ndl = dot(n, sun);
    float light = smoothstep(-0.08f, 0.25f, ndl) * clamp01(ndl + 0.35f);
    float land = fbm3(n.x * 2.2f, n.y * 2.2f, n.z * 2.2f, 8, look.seed + 41);
    float swirl = fbm3(n.x * 3.0f, n.y * 3.0f, n.z * 3.0f, 3, look.seed + 44) * 2.0f;
    float cloud = fbm3(n.x * 5.0f + swirl, n.y * 11.0f + swirl, n.z * 5.0f, 6, look.seed + 43);
    float polar = smoothstep(0.75f, 0.9f, std::fabs(dot(n, up)));
    vec3 ground = mix(v3(0.09f, 0.15f, 0.05f), v3(0.42f, 0.33f, 0.20f), clamp01((land - 0.12f) * 4.0f));
    vec3 albedo =
        land > 0.12f ? ground : mix(v3(0.005f, 0.025f, 0.09f), v3(0.01f, 0.05f, 0.12f), clamp01(land * 4.0f + 0.5f));
    albedo = mix(albedo, v3(0.8f), polar);
    albedo = mix(albedo, v3(0.85f), smoothstep(0.05f, 0.35f, cloud) * 0.85f);
    // Seen through more air towards the limb: bluer and paler.
    float mu = std::sqrt(1.0f - rr);
    float haze = std::pow(1.0f - mu, 2.5f);
    vec3 colour = mix(albedo * 2.4f, air * 1.4f, haze * 0.7f) * light;
    return colour + air * (haze * 0.35f * smoothstep(-0.2f, 0.3f, ndl));
}

vec3 sky_colour(const slide_look& look, vec3 d, bool with_sun)
{
    vec3 sun = sun_direction(look);
    float up = d.y > 0.0f ? d.y : 0.0f;
    vec3 sky = mix(look.horizon, look.zenith, std::pow(up, 0.45f));
    if (d.y < 0.0f) sky = look.horizon * (0.75f + 0.25f * std::exp(d.y * 6.0f));
    float mu = clamp01(dot(d, sun));
    float glow_scale = look.body == body_sun ? 1.0f : 0.25f;
    // Forward scattering around the light, wide and narrow.
    sky = sky + look.sun_colour * ((std::pow(mu, 6.0f) * 0.06f + std::pow(mu, 90.0f) * 0.22f) * glow_scale);
    sky = add_stars(look, d, sky);
    sky = add_aurora(look, d, sky);
    sky = add_planet(look, d, sky, sun);
    if (with_sun && look.body != body_none) {
        float disc_cos = look.body == body_sun ? 0.99994f : 0.99990f;
        if (mu > disc_cos) {
            if (look.body == body_sun) {
                sky = look.sun_colour * 40.0f;
            } else {
                vec3 off = d - sun;
                float maria = fbm2(off.x * 900.0f, off.y * 900.0f, 4, look.seed + 3);
                sky = v3(1.0f, 0.98f, 0.92f) * (6.0f * (0.8f + 0.35f * maria));
            }
        }
    }
    return add_clouds(look, d, sky, sun);
}
