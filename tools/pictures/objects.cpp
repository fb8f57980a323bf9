// Things standing in a slide's landscape, as signed distances: spheres, columns, stones, a city, a lighthouse, pebbles.
#include "tools/pictures/noise.h"
#include "tools/pictures/slide.h"

#include <algorithm>
#include <cmath>
#include <vector>

struct ball {
    vec3 centre;
    float radius;
    vec3 albedo;
    float reflect;
};

// The still life of glossy balls: chrome, painted and gold.
static const ball g_balls[] = {
    {{0.0f, 1.0f, -5.2f}, 1.0f, {0.85f, 0.86f, 0.88f}, 0.92f},
    {{-1.9f, 0.6f, -4.4f}, 0.6f, {0.60f, 0.04f, 0.03f}, 0.12f},
    {{1.55f, 0.45f, -3.7f}, 0.45f, {0.03f, 0.12f, 0.55f}, 0.12f},
    {{2.6f, 0.8f, -7.0f}, 0.8f, {0.95f, 0.64f, 0.25f}, 0.75f},
    {{-0.7f, 0.28f, -3.0f}, 0.28f, {0.80f, 0.78f, 0.74f}, 0.08f},
    {{-3.4f, 0.9f, -8.2f}, 0.9f, {0.10f, 0.35f, 0.12f}, 0.15f},
};
static const int g_ball_count = sizeof g_balls / sizeof g_balls[0];

static float box(vec3 p, vec3 half)
{
    vec3 q = v3(std::fabs(p.x) - half.x, std::fabs(p.y) - half.y, std::fabs(p.z) - half.z);
    vec3 m = v3(std::max(q.x, 0.0f), std::max(q.y, 0.0f), std::max(q.z, 0.0f));
    return length(m) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0f);
}

// Two rows of fluted columns along -z under a long beam.
static float colonnade(vec3 p)
{
    float zc = std::max(std::min(p.z, -3.0f), -63.0f);
    float cell = 5.0f;
    float qz = zc - cell * std::floor(zc / cell) - cell * 0.5f + (p.z - zc);
    float qx = std::fabs(p.x) - 4.5f;
    float ang = std::atan2(qz, qx);
    float r = 0.55f + 0.025f * std::cos(ang * 20.0f) - 0.03f * (p.y / 9.0f);
    float column = std::max(std::sqrt(qx * qx + qz * qz) - r, std::fabs(p.y - 4.5f) - 4.5f);
    float base = box(v3(qx, p.y - 0.2f, qz), v3(0.8f, 0.2f, 0.8f));
    float capital = box(v3(qx, p.y - 9.1f, qz), v3(0.78f, 0.15f, 0.78f));
    float beam = box(v3(qx, p.y - 9.9f, p.z + 33.0f), v3(0.9f, 0.65f, 30.5f));
    float step = box(v3(p.x, p.y + 0.1f, p.z + 33.0f), v3(6.0f, 0.1f, 31.0f));
    return std::min(std::min(std::min(column, base), std::min(capital, beam)), step);
}

// A ring of standing stones around a point, each seated on the ground beneath it.
static float stones(const slide_look& look, vec3 p, int* which)
{
    const vec3 centre = v3(0.0f, 0.0f, -34.0f);
    const int count = 13;
    // Far from the ring (or high above it) a bound is enough; the stones are costly to measure.
    float ring =
        std::fabs(std::sqrt((p.x - centre.x) * (p.x - centre.x) + (p.z - centre.z) * (p.z - centre.z)) - 14.0f);
    float bound = std::max(ring - 3.0f, p.y - 60.0f);
    if (bound > 1.0f) return bound;
    float a = std::atan2(p.x - centre.x, p.z - centre.z);
    int k = int(std::floor(a / (6.2831853f / count) + 0.5f));
    float best = 1e9f;
    for (int dk = -1; dk <= 1; ++dk) {
        int i = ((k + dk) % count + count) % count;
        if (hash2(i, 0, look.seed + 60) < 0.15f) continue;  // fallen or missing
        float ai = (float(i) + 0.2f * (hash2(i, 1, look.seed + 60) - 0.5f)) * 6.2831853f / count;
        float rad = 14.0f;
        vec3 c = v3(centre.x + std::sin(ai) * rad, 0.0f, centre.z + std::cos(ai) * rad);
        c.y = ground_height(look, c.x, c.z, 4);
        float h = 3.0f + 2.0f * hash2(i, 2, look.seed + 60);
        vec3 q = p - c;
        float ca = std::cos(ai), sa = std::sin(ai);
        vec3 l = v3(ca * q.x - sa * q.z, q.y - h * 0.5f, sa * q.x + ca * q.z);
        float lean = 0.08f * (hash2(i, 3, look.seed + 60) - 0.5f);
        l.x += l.y * lean;
        float taper = 1.0f - 0.15f * clamp01(l.y / h + 0.5f);
        float d = box(v3(l.x / taper, l.y, l.z), v3(1.1f, h * 0.5f, 0.45f)) * taper - 0.12f;
        d += 0.06f * value_noise3(p.x * 2.5f, p.y * 2.5f, p.z * 2.5f, look.seed + 61);
        if (d < best) {
            best = d;
            *which = i;
        }
    }
    return best;
}

// One building of the skyline: its cell's own footprint, height and setbacks, all from the cell's hash.
struct tower {
    float cx, cz, wx, wz, h;  // centre, half widths, height of the main block
    float top;                // height of the narrower upper block above it (0 none)
    float spire;              // height of a mast on top (0 none)
};

static tower tower_at(const slide_look& look, int cx, int cz, float cell)
{
    tower t;
    float back = clamp01((-(cz + 0.5f) * cell - 450.0f) / 400.0f);
    float r = hash2(cx, cz, look.seed + 70);
    t.h = (8.0f + 40.0f * r * r) * (0.6f + 0.9f * back);
    if (hash2(cx, cz, look.seed + 71) > 0.9f) t.h += 50.0f + 40.0f * back;  // the odd high-rise
    t.wx = cell * (0.22f + 0.2f * hash2(cx, cz, look.seed + 72));
    t.wz = cell * (0.22f + 0.2f * hash2(cx, cz, look.seed + 73));
    t.cx = (cx + 0.5f) * cell + (cell * 0.5f - t.wx) * (hash2(cx, cz, look.seed + 74) * 2.0f - 1.0f);
    t.cz = (cz + 0.5f) * cell + (cell * 0.5f - t.wz) * (hash2(cx, cz, look.seed + 77) * 2.0f - 1.0f);
    t.top = hash2(cx, cz, look.seed + 78) > 0.55f ? t.h * (0.15f + 0.35f * hash2(cx, cz, look.seed + 79)) : 0.0f;
    t.spire = t.h > 55.0f && hash2(cx, cz, look.seed + 80) > 0.5f ? 8.0f + 10.0f * hash2(cx, cz, look.seed + 81)
                                                                  : 0.0f;
    return t;
}

static float tower_distance(const tower& t, vec3 p)
{
    vec3 q = v3(p.x - t.cx, p.y, p.z - t.cz);
    float d = box(q - v3(0.0f, t.h * 0.5f, 0.0f), v3(t.wx, t.h * 0.5f, t.wz));
    if (t.top > 0.0f)
        d = std::min(d, box(q - v3(0.0f, t.h + t.top * 0.5f, 0.0f), v3(t.wx * 0.62f, t.top * 0.5f, t.wz * 0.62f)));
    if (t.spire > 0.0f) {
        float base = t.h + t.top;
        d = std::min(d, box(q - v3(0.0f, base + t.spire * 0.5f, 0.0f), v3(0.25f, t.spire * 0.5f, 0.25f)));
    }
    return d;
}

// The skyline's buildings, worked out once: the march asks for nine of them at every step.
static const int k_city_x0 = -100, k_city_x1 = 100, k_city_z0 = -60, k_city_z1 = -18;
static const tower& city_tower(const slide_look& look, int cx, int cz)
{
    static const std::vector<tower> table = [&] {
        std::vector<tower> t;
        for (int z = k_city_z0; z < k_city_z1; ++z)
            for (int x = k_city_x0; x < k_city_x1; ++x) t.push_back(tower_at(look, x, z, 24.0f));
        return t;
    }();
    static const tower none = {0.0f, 0.0f, 0.0f, 0.0f, -1e3f, 0.0f, 0.0f};
    if (cx < k_city_x0 || cx >= k_city_x1 || cz < k_city_z0 || cz >= k_city_z1) return none;
    return table[size_t((cz - k_city_z0) * (k_city_x1 - k_city_x0) + (cx - k_city_x0))];
}

// A skyline across the water: a grid of cells, each holding one building, the neighbours checked too.
static float city(const slide_look& look, vec3 p, int* cx_out, int* cz_out)
{
    const float cell = 24.0f;
    // In front of the waterfront (and above the tallest roof) only a bound is needed.
    if (p.z > -450.0f) return std::max(p.z + 450.5f, box(p - v3(0, 80, -850), v3(1600, 160, 400)));
    if (p.y > 200.0f) return p.y - 195.0f;
    int cx0 = int(std::floor(p.x / cell)), cz0 = int(std::floor(p.z / cell));
    float best = 1e9f;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = cx0 + i, cz = cz0 + j;
            if (-(cz + 1) * cell < 450.0f) continue;
            // The cell's own square bounds its building from the side.
            float ox = std::max(std::fabs(p.x - (cx + 0.5f) * cell) - cell * 0.5f, 0.0f);
            float oz = std::max(std::fabs(p.z - (cz + 0.5f) * cell) - cell * 0.5f, 0.0f);
            if (ox * ox + oz * oz >= best * best) continue;
            const tower& t = city_tower(look, cx, cz);
            if (t.h <= 0.0f) continue;
            float d = tower_distance(t, p);
            if (d < best) {
                best = d;
                *cx_out = cx;
                *cz_out = cz;
            }
        }
    return best;
}

// A striped lighthouse with a lantern room, on a rock.
static float lighthouse(const slide_look& look, vec3 p)
{
    vec3 q = p - v3(-30.0f, 0.0f, -150.0f);
    float rock = length(v3(q.x / 14.0f, (q.y + 3.0f) / 6.0f, q.z / 10.0f)) * 6.0f - 6.0f;
    rock += 1.2f * fbm3(q.x * 0.15f, q.y * 0.15f, q.z * 0.15f, 4, look.seed + 80);
    float rr = std::sqrt(q.x * q.x + q.z * q.z);
    float tower = std::max(rr - (2.3f - 0.035f * q.y), std::fabs(q.y - 13.0f) - 13.0f);
    float gallery = std::max(rr - 2.6f, std::fabs(q.y - 26.3f) - 0.3f);
    float lantern = std::max(rr - 1.5f, std::fabs(q.y - 28.0f) - 1.5f);
    float cap = std::max(rr - (1.9f - (q.y - 29.5f) * 0.9f), std::fabs(q.y - 30.5f) - 1.0f);
    return std::min(std::min(rock, tower), std::min(std::min(gallery, lantern), cap));
}

// Rounded pebbles on wet sand, one per cell.
static float pebbles(const slide_look& look, vec3 p, int* cx_out, int* cz_out)
{
    const float cell = 0.9f;
    int cx0 = int(std::floor(p.x / cell)), cz0 = int(std::floor(p.z / cell));
    float best = p.y + 0.05f;
    *cx_out = *cz_out = 1 << 20;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = cx0 + i, cz = cz0 + j;
            if (hash2(cx, cz, look.seed + 90) < 0.12f) continue;
            float px = (cx + 0.3f + 0.4f * hash2(cx, cz, look.seed + 91)) * cell;
            float pz = (cz + 0.3f + 0.4f * hash2(cx, cz, look.seed + 92)) * cell;
            // No radius exceeds 0.48 nor falls below 0.10: a pebble this far off cannot be nearer.
            float reach = std::sqrt((p.x - px) * (p.x - px) + (p.z - pz) * (p.z - pz) + p.y * p.y);
            if ((reach / 0.48f - 1.0f) * 0.10f >= best) continue;
            float rx = 0.32f + 0.16f * hash2(cx, cz, look.seed + 93);
            float rz = 0.27f + 0.14f * hash2(cx, cz, look.seed + 94);
            float ry = 0.10f + 0.10f * hash2(cx, cz, look.seed + 95);
            float a = 6.283f * hash2(cx, cz, look.seed + 96);
            float dx = p.x - px, dz = p.z - pz;
            vec3 l = v3(std::cos(a) * dx - std::sin(a) * dz, p.y, std::sin(a) * dx + std::cos(a) * dz);
            float k = length(v3(l.x / rx, l.y / ry, l.z / rz));
            float d = (k - 1.0f) * std::min(ry, std::min(rx, rz));
            if (d < best) {
                best = d;
                *cx_out = cx;
                *cz_out = cz;
            }
        }
    return best;
}

float objects_distance(const slide_look& look, vec3 p)
{
    int a = 0, b = 0;
    switch (look.objects) {
    case object_none:
        return 1e9f;
    case object_spheres: {
        float d = 1e9f;
        for (int i = 0; i < g_ball_count; ++i) d = std::min(d, length(p - g_balls[i].centre) - g_balls[i].radius);
        return d;
    }
    case object_colonnade:
        return colonnade(p);
    case object_stones:
        return stones(look, p, &a);
    case object_city:
        return city(look, p, &a, &b);
    case object_lighthouse:
        return lighthouse(look, p);
    case object_pebbles:
        return pebbles(look, p, &a, &b);
    }
    return 1e9f;
}

surface objects_surface(const slide_look& look, vec3 p, vec3 n)
{
    surface s{v3(0.5f), 0.0f, v3(0.0f)};
    int a = 0, b = 0;
    switch (look.objects) {
    case object_none:
        break;
    case object_spheres: {
        int best = 0;
        float d = 1e9f;
        for (int i = 0; i < g_ball_count; ++i) {
            float di = length(p - g_balls[i].centre) - g_balls[i].radius;
            if (di < d) {
                d = di;
                best = i;
            }
        }
        s.albedo = g_balls[best].albedo;
        s.reflect = g_balls[best].reflect;
        break;
    }
    case object_colonnade: {
        float var = fbm3(p.x * 1.5f, p.y * 1.5f, p.z * 1.5f, 4, look.seed + 65);
        s.albedo = v3(0.78f, 0.72f, 0.62f) * (0.85f + 0.15f * var);
        break;
    }
    case object_stones: {
        stones(look, p, &a);
        float lichen = smoothstep(0.1f, 0.5f, fbm3(p.x * 1.3f, p.y * 1.3f, p.z * 1.3f, 4, look.seed + 62 + a));
        s.albedo = mix(v3(0.30f, 0.29f, 0.27f), v3(0.42f, 0.40f, 0.25f), lichen * n.y * n.y + lichen * 0.3f);
        break;
    }
    case object_city: {
        city(look, p, &a, &b);
        // Each building its own glass, window pitch, share of lit rooms and light colour.
        float kind = hash2(a, b, look.seed + 82);
        s.albedo = kind < 0.5f ? v3(0.035f, 0.04f, 0.05f) : v3(0.10f, 0.09f, 0.08f);
        s.reflect = kind < 0.5f ? 0.3f : 0.08f;
        const tower& t = city_tower(look, a, b);
        if (t.spire > 0.0f && p.y > t.h + t.top + t.spire - 0.7f) {
            s.emission = v3(1.0f, 0.08f, 0.04f) * 6.0f;  // the mast's warning light
            break;
        }
        if (std::fabs(n.y) > 0.5f) break;
        float u = std::fabs(n.x) > 0.5f ? p.z : p.x;
        float storey = 3.1f + 0.8f * hash2(a, b, look.seed + 83), bay = 1.6f + 1.6f * hash2(a, b, look.seed + 84);
        float floor_f = p.y / storey, col_f = u / bay;
        float fy = floor_f - std::floor(floor_f), fx = col_f - std::floor(col_f);
        float glass = kind < 0.5f ? 0.85f : 0.55f;  // curtain walls are nearly all window
        float inside = smoothstep(0.0f, 0.06f, fy - 0.12f) * smoothstep(0.0f, 0.06f, 0.12f + glass * 0.8f - fy) *
            smoothstep(0.0f, 0.06f, fx - (1.0f - glass) * 0.5f) * smoothstep(0.0f, 0.06f, (1.0f + glass) * 0.5f - fx);
        int row = int(std::floor(floor_f)), column = int(std::floor(col_f));
        float lit_share = 0.06f + 0.3f * hash2(a, b, look.seed + 85);
        // Offices light whole floors, flats single rooms.
        float on = kind < 0.5f ? hash2(row, a * 131 + b, look.seed + 86)
                               : hash3(column, row, a * 131 + b, look.seed + 75);
        if (on < lit_share && p.y > 1.5f) {
            float temp = hash2(a, b, look.seed + 76);
            vec3 light = temp < 0.6f ? v3(1.0f, 0.66f, 0.33f)
                                     : (temp < 0.85f ? v3(1.0f, 0.9f, 0.75f) : v3(0.7f, 0.85f, 1.0f));
            float dim = 0.5f + 0.5f * hash3(column, row, a * 17 + b, look.seed + 87);
            s.emission = light * (inside * dim * 0.8f);
        }
        break;
    }
    case object_lighthouse: {
        vec3 q = p - v3(-30.0f, 0.0f, -150.0f);
        float rr = std::sqrt(q.x * q.x + q.z * q.z);
        if (q.y < 0.6f || rr > 2.65f) {
            s.albedo = v3(0.16f, 0.14f, 0.12f) * (0.8f + 0.3f * value_noise3(p.x, p.y, p.z, look.seed + 81));
        } else if (q.y > 26.6f && q.y < 29.5f && rr < 1.55f) {
            s.albedo = v3(0.1f);
            s.emission = v3(1.0f, 0.85f, 0.55f) * 30.0f;
        } else if (q.y > 26.0f) {
            s.albedo = v3(0.08f);
        } else {
            bool red = int(std::floor(q.y / 4.0f)) % 2 == 1;
            s.albedo = red ? v3(0.55f, 0.05f, 0.04f) : v3(0.82f, 0.82f, 0.8f);
        }
        break;
    }
    case object_pebbles: {
        pebbles(look, p, &a, &b);
        float tone = hash2(a, b, look.seed + 97), hue = hash2(a, b, look.seed + 98);
        vec3 base = hue < 0.4f ? v3(0.32f, 0.31f, 0.30f)
                               : (hue < 0.7f ? v3(0.45f, 0.33f, 0.22f) : v3(0.62f, 0.60f, 0.56f));
        if (hue > 0.93f) base = v3(0.55f, 0.18f, 0.10f);
        float grain = fbm3(p.x * 14.0f, p.y * 14.0f, p.z * 14.0f, 4, look.seed + 99 + a);
        float vein = hue > 0.8f
            ? 0.0f
            : smoothstep(0.975f, 0.995f,
                         1.0f - std::fabs(value_noise3(p.x * 4.0f, p.y * 4.0f, p.z * 4.0f, a * 7 + b)));
        s.albedo = mix(base * (0.7f + 0.5f * tone) * (0.85f + 0.25f * grain), v3(0.75f), vein * 0.5f);
        s.reflect = 0.12f;
        break;
    }
    }
    return s;
}
