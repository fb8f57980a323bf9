// The ground of a slide: a height field per terrain kind and the colour of its surface.
#include "tools/pictures/noise.h"
#include "tools/pictures/slide.h"

#include <cmath>

// Bowls with a raised rim, one per cell at a random spot; two sizes. One hash per cell gives its
// four numbers, and a bowl more than three radii off adds nothing, so is not measured.
static float craters(float x, float z, float cell, uint32_t seed)
{
    float fx = std::floor(x / cell), fz = std::floor(z / cell);
    float h = 0.0f;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = int(fx) + i, cz = int(fz) + j;
            uint32_t k = hash_u32(uint32_t(cx) * 0x8da6b343U ^ hash_u32(uint32_t(cz) * 0xd8163841U ^ seed));
            if ((k & 0xffU) > 153U) continue;  // 60 % of cells hold a crater
            float px = (cx + 0.2f + 0.6f * float((k >> 8) & 0xffU) / 256.0f) * cell;
            float pz = (cz + 0.2f + 0.6f * float((k >> 16) & 0xffU) / 256.0f) * cell;
            float r = cell * (0.12f + 0.25f * float(k >> 24) / 256.0f);
            float d2 = ((x - px) * (x - px) + (z - pz) * (z - pz)) / (r * r);
            if (d2 > 9.0f) continue;
            float d = std::sqrt(d2);
            if (d < 1.0f) h += (d2 - 1.0f) * 0.5f + 0.15f * d2 * d2;
            else h += 0.15f * std::exp(-(d - 1.0f) * 4.0f);
        }
    return h * cell * 0.25f;
}

// The top of a sea of clouds that fills the valleys, soft and lumpy.
static float cloud_deck(const slide_look& look, float x, float z, int octaves)
{
    float n = fbm2(x / 700.0f, z / 700.0f, octaves < 5 ? octaves : 5, look.seed + 5);
    // Billows: folding the noise at zero gives rounded heaps with creases between them.
    return look.terrain_height * 0.45f + 120.0f * std::sqrt(std::fabs(n) + 0.01f);
}

bool is_cloud(const slide_look& look, vec3 p)
{
    return look.terrain == terrain_cloudsea && p.y < cloud_deck(look, p.x, p.z, 6) + 1.0f;
}

float ground_height(const slide_look& look, float x, float z, int octaves)
{
    float s = 1.0f / look.terrain_scale, h = look.terrain_height;
    // Distance from the camera: open ground (a lake, a valley) in front, relief further away.
    float dx = x - look.cam_pos.x, dz = z - look.cam_pos.z;
    float dist = std::sqrt(dx * dx + dz * dz);
    switch (look.terrain) {
    case terrain_none:
        return -1e9f;
    case terrain_flat:
        return 0.0f;
    case terrain_mountains: {
        float e = eroded2(x * s * 2.0f, z * s * 2.0f, octaves, look.seed);
        float basin = smoothstep(look.terrain_scale * 0.35f, look.terrain_scale * 1.6f, dist);
        return h * ((e * 0.5f + 0.3f) * (0.2f + 0.8f * basin) - 0.05f);
    }
    case terrain_cloudsea: {
        // Summits only: the eroded field raised to a power, so ranges break the deck as jagged crests.
        float e = eroded2(x * s * 2.0f, z * s * 2.0f, octaves, look.seed);
        float basin = smoothstep(look.terrain_scale * 0.15f, look.terrain_scale * 0.8f, dist);
        float lift = std::max(e * 0.5f + 0.3f, 0.0f);
        return std::max(h * 1.25f * std::pow(lift, 1.4f) * (0.1f + 0.9f * basin), cloud_deck(look, x, z, octaves));
    }
    case terrain_dunes: {
        float warp = fbm2(x * s * 0.4f, z * s * 0.4f, 3, look.seed) * 2.2f;
        float u = x * s * 1.3f + z * s * 0.45f + warp;
        float f = u - std::floor(u);
        float dune = f < 0.72f ? smoothstep(0.0f, 0.72f, f) : 1.0f - smoothstep(0.72f, 1.0f, f);
        float amp = 0.55f + 0.45f * fbm2(x * s * 0.3f + 7.0f, z * s * 0.3f, 3, look.seed + 4);
        // Wind ripples, smoothed away at the crest so its line stays clean.
        float ripple = octaves > 5
            ? 0.003f * std::sin(x * 1.9f + z * 0.9f + warp * 9.0f) * smoothstep(0.0f, 0.25f, std::fabs(f - 0.72f)) *
                smoothstep(0.0f, 0.15f, f) * smoothstep(0.0f, 0.15f, 1.0f - f)
            : 0.0f;
        return h * (dune * amp + 0.2f * fbm2(x * s * 0.2f, z * s * 0.2f, 2, look.seed + 8)) + h * ripple;
    }
    case terrain_hills: {
        float n = fbm2(x * s, z * s, octaves, look.seed) * 0.5f + 0.5f;
        return h * n * n * 1.6f;
    }
    case terrain_mesas: {
        float n = fbm2(x * s, z * s, octaves < 4 ? octaves : 4, look.seed) * 0.5f + 0.5f;
        float detail = fbm2(x * s * 8.0f, z * s * 8.0f, octaves > 4 ? octaves - 4 : 1, look.seed + 3);
        float plateau = smoothstep(0.50f, 0.56f, n + detail * 0.02f);
        float shelf = smoothstep(0.40f, 0.44f, n + detail * 0.03f) * 0.3f;
        float open = smoothstep(look.terrain_scale * 0.25f, look.terrain_scale * 0.7f, dist);
        return h * (plateau * 0.7f + shelf + detail * 0.04f) * open + h * 0.02f * detail;
    }
    case terrain_craters: {
        float base = fbm2(x * s, z * s, octaves, look.seed) * 0.3f;
        float c = craters(x, z, look.terrain_scale * 0.7f, look.seed + 10) +
            craters(x, z, look.terrain_scale * 0.15f, look.seed + 20) * (octaves > 4 ? 1.0f : 0.5f);
        // Rubble and small pits close to the eye.
        float rubble = octaves > 6 ? 0.35f * fbm2(x * 0.4f, z * 0.4f, octaves - 5, look.seed + 30) : 0.0f;
        return h * base + c * h / look.terrain_scale * 2.0f + rubble;
    }
    case terrain_islands: {
        float n = fbm2(x * s, z * s, octaves, look.seed) * 0.5f + 0.5f;
        float near_open = smoothstep(look.terrain_scale * 0.2f, look.terrain_scale * 0.7f, dist);
        return h * (n - 0.52f) * 3.0f * near_open - h * 0.25f * (1.0f - near_open);
    }
    }
    return 0.0f;
}

vec3 ground_albedo(const slide_look& look, vec3 p, vec3 n)
{
    float s = 1.0f / look.terrain_scale;
    float var = fbm2(p.x * s * 12.0f, p.z * s * 12.0f, 4, look.seed + 50);
    vec3 a;
    switch (look.terrain) {
    case terrain_cloudsea:
        if (is_cloud(look, p)) return v3(0.9f, 0.9f, 0.92f);
        [[fallthrough]];
    case terrain_mountains: {
        float grain = fbm2(p.x * s * 30.0f, p.z * s * 30.0f, 4, look.seed + 52) * 0.5f + 0.5f;
        vec3 rock = mix(v3(0.11f, 0.10f, 0.09f), v3(0.34f, 0.29f, 0.24f), clamp01(grain * 0.8f + var * 0.5f));
        rock = mix(rock, v3(0.30f, 0.20f, 0.13f), smoothstep(0.2f, 0.6f, var) * 0.5f);
        vec3 grass = mix(v3(0.10f, 0.16f, 0.05f), v3(0.20f, 0.22f, 0.08f), var * 0.5f + 0.5f);
        float green =
            smoothstep(0.75f, 0.9f, n.y) * (1.0f - smoothstep(look.snow_line * 0.4f, look.snow_line * 0.7f, p.y));
        a = mix(rock, grass, green);
        break;
    }
    case terrain_dunes:
        a = mix(v3(0.62f, 0.34f, 0.15f), v3(0.78f, 0.50f, 0.26f), var * 0.5f + 0.5f);
        break;
    case terrain_hills:
        a = mix(v3(0.07f, 0.13f, 0.04f), v3(0.20f, 0.22f, 0.08f), smoothstep(-0.3f, 0.4f, var));
        // Heather and bracken in patches.
        a = mix(a, v3(0.16f, 0.09f, 0.07f),
                smoothstep(0.1f, 0.4f, fbm2(p.x * s * 5.0f, p.z * s * 5.0f, 5, look.seed + 54)) * 0.8f);
        a = mix(a, v3(0.3f, 0.24f, 0.16f), smoothstep(0.85f, 0.7f, n.y));
        break;
    case terrain_mesas: {
        // Strata: soft, of uneven thickness, wandering with the rock.
        float strata = p.y * 0.22f + var * 4.0f + 1.5f * fbm2(p.x * s * 3.0f, p.z * s * 3.0f, 3, look.seed + 57);
        float band = 0.5f + 0.3f * std::sin(strata) + 0.2f * std::sin(strata * 2.7f + 1.3f);
        a = mix(v3(0.42f, 0.16f, 0.07f), v3(0.62f, 0.34f, 0.18f), band * 0.35f + 0.3f + 0.3f * var);
        // Flat ground: red sand dotted with dark scrub.
        float scrub = smoothstep(0.35f, 0.6f, fbm2(p.x * 0.35f, p.z * 0.35f, 3, look.seed + 53));
        vec3 plain = mix(v3(0.30f, 0.14f, 0.07f), v3(0.10f, 0.09f, 0.04f), scrub * 0.8f);
        a = mix(a, plain, smoothstep(0.9f, 0.97f, n.y));
        break;
    }
    case terrain_craters:
        a = v3(0.20f + 0.05f * var);
        break;
    case terrain_islands: {
        float beach = 1.0f - smoothstep(look.water_level + 0.6f, look.water_level + 2.0f, p.y);
        vec3 green = mix(v3(0.015f, 0.045f, 0.01f), v3(0.05f, 0.10f, 0.02f), var * 0.5f + 0.5f);
        green = mix(green, v3(0.25f, 0.22f, 0.18f), smoothstep(0.8f, 0.6f, n.y));
        a = mix(green, v3(0.80f, 0.70f, 0.50f), beach);
        break;
    }
    case terrain_flat:
    default: {
        // Paving: square slabs with dark joints, each slab its own shade.
        float tile = 2.0f;
        float fx = p.x / tile, fz = p.z / tile;
        float gx = fx - std::floor(fx), gz = fz - std::floor(fz);
        float joint = smoothstep(0.0f, 0.03f, gx) * smoothstep(0.0f, 0.03f, 1.0f - gx) *
            smoothstep(0.0f, 0.03f, gz) * smoothstep(0.0f, 0.03f, 1.0f - gz);
        float shade = 0.8f + 0.2f * hash2(int(std::floor(fx)), int(std::floor(fz)), look.seed);
        vec3 stone = v3(0.55f, 0.48f, 0.40f) * shade * (0.9f + 0.1f * var);
        a = look.objects == object_pebbles ? v3(0.26f, 0.22f, 0.17f) * (0.85f + 0.15f * var)
                                           : mix(v3(0.15f, 0.12f, 0.1f), stone, joint);
        break;
    }
    }
    a = a * look.ground_tint;
    float band = 0.15f * std::fabs(look.snow_line) + 20.0f;
    float snow = smoothstep(look.snow_line, look.snow_line + band, p.y + var * band) * smoothstep(0.2f, 0.45f, n.y);
    return mix(a, v3(0.85f, 0.88f, 0.92f), snow);
}
