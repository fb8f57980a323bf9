// Finding what a ray meets in a slide's scene: ground, objects or water, and the shadows they cast.
#include "tools/pictures/march.h"

#include <algorithm>
#include <cmath>

// Highest point anything in the scene reaches: above it a rising ray only meets sky.
static float scene_ceiling(const slide_look& look)
{
    float top = look.terrain == terrain_none ? -1e9f : look.terrain_height * 1.3f + 1.0f;
    if (look.objects == object_city) top = std::max(top, 240.0f);
    else if (look.objects != object_none) top = std::max(top, look.terrain_height * 1.3f + 40.0f);
    return std::max(top, look.water_level);
}

int detail_octaves(const slide_look& look, float t)
{
    float o = std::log2(look.terrain_scale / (0.0025f * std::max(t, 1.0f)));
    return std::max(3, std::min(10, int(o)));
}

// Finding the surface needs less detail than lighting it: the last octaves only bend normals.
int march_octaves(const slide_look& look, float t)
{
    return std::min(detail_octaves(look, t) - 1, 7);
}

// How far the scene's relief is allowed to be trusted per unit of height above it.
static float step_factor(const slide_look& look)
{
    switch (look.terrain) {
    case terrain_mountains:
    case terrain_cloudsea:
    case terrain_mesas:
        return 0.3f;
    case terrain_craters:
        return 0.35f;
    default:
        return 0.5f;
    }
}

hit march_scene(const slide_look& look, vec3 o, vec3 d, bool with_water, float t_start)
{
    hit h{1e9f, hit_sky};
    float max_t = 30000.0f;
    if (with_water && look.water_level > -1e3f && d.y < 0.0f) {
        float tw = (look.water_level - o.y) / d.y;
        if (tw > 0.0f && tw < max_t) {
            max_t = tw;
            h = hit{tw, hit_water};
        }
    }
    float ceiling = scene_ceiling(look);
    float k = step_factor(look);
    bool has_ground = look.terrain != terrain_none;
    bool has_objects = look.objects != object_none;
    float t = t_start, prev_t = t;
    for (int i = 0; i < 500 && t < max_t; ++i) {
        vec3 p = o + d * t;
        if (p.y > ceiling && d.y >= 0.0f) break;
        float eps = 0.0007f * t + 0.0005f;
        float dg = 1e9f, dobj = 1e9f;
        if (has_ground) {
            dg = p.y - ground_height(look, p.x, p.z, march_octaves(look, t));
            if (dg < eps) {
                // Bisect between the last point above and this one for a clean silhouette.
                float a = prev_t, b = t;
                for (int j = 0; j < 7; ++j) {
                    float m = 0.5f * (a + b);
                    vec3 q = o + d * m;
                    if (q.y - ground_height(look, q.x, q.z, march_octaves(look, m)) < 0.0f) b = m;
                    else a = m;
                }
                return hit{0.5f * (a + b), hit_ground};
            }
        }
        if (has_objects) {
            dobj = objects_distance(look, p);
            if (dobj < eps) return hit{t, hit_object};
        }
        // Near the ground the step never shrinks below a fraction of the distance: a ray grazing a
        // slope would otherwise crawl; an overshoot into the ground is caught by the bisection.
        float step = dg * k < dobj * 0.9f ? std::max(dg * k, 0.002f * t) : dobj * 0.9f;
        prev_t = t;
        t += std::max(step, eps * 0.5f);
    }
    // Out of steps while still low: a grazing ray skimming the ground, so call it ground.
    if (h.kind == hit_sky && has_ground && t < max_t) {
        vec3 p = o + d * t;
        if (p.y < ceiling && d.y < 0.05f) return hit{t, hit_ground};
    }
    return h;
}

float cone_start(const slide_look& look, vec3 o, vec3 d, float cone)
{
    float ceiling = scene_ceiling(look);
    float k = step_factor(look);
    float max_t = 30000.0f;
    if (look.water_level > -1e3f && d.y < 0.0f) max_t = std::min(max_t, (look.water_level - o.y) / d.y);
    float t = 0.01f, safe = t;
    for (int i = 0; i < 300 && t < max_t; ++i) {
        vec3 p = o + d * t;
        if (p.y > ceiling && d.y >= 0.0f) return safe;
        float dist = 1e9f;
        if (look.terrain != terrain_none) dist = (p.y - ground_height(look, p.x, p.z, march_octaves(look, t))) * k;
        if (look.objects != object_none) dist = std::min(dist, objects_distance(look, p) * 0.9f);
        // The cone's radius here, with room for the bend a slanted ray takes over the height field.
        float radius = t * cone * 1.5f + 0.0007f * t + 0.0005f;
        if (dist < radius) return safe;
        safe = t;
        t += dist - radius;
    }
    return std::min(safe, max_t);
}

vec3 ground_normal(const slide_look& look, vec3 p, float t)
{
    float e = std::max(0.002f, 0.0012f * t);
    int oct = detail_octaves(look, t);
    float hx0 = ground_height(look, p.x - e, p.z, oct), hx1 = ground_height(look, p.x + e, p.z, oct);
    float hz0 = ground_height(look, p.x, p.z - e, oct), hz1 = ground_height(look, p.x, p.z + e, oct);
    return normalize(v3(hx0 - hx1, 2.0f * e, hz0 - hz1));
}

vec3 objects_normal(const slide_look& look, vec3 p, float t)
{
    float e = std::max(0.0005f, 0.0005f * t);
    const vec3 k[4] = {{1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {1, 1, 1}};
    vec3 n = v3(0.0f);
    for (int i = 0; i < 4; ++i) n = n + k[i] * objects_distance(look, p + k[i] * e);
    return normalize(n);
}

float soft_shadow(const slide_look& look, vec3 p, vec3 l, float reach, int octaves)
{
    float ceiling = scene_ceiling(look);
    float res = 1.0f, t = 0.02f * reach / 100.0f + 0.01f;
    for (int i = 0; i < 64 && t < reach; ++i) {
        vec3 q = p + l * t;
        if (q.y > ceiling) break;
        float d = 1e9f;
        if (look.terrain != terrain_none) d = (q.y - ground_height(look, q.x, q.z, octaves)) * step_factor(look);
        if (look.objects != object_none) d = std::min(d, objects_distance(look, q));
        res = std::min(res, 10.0f * d / t);
        if (res < 0.001f) return 0.0f;
        t += std::max(std::min(d, reach * 0.05f), 0.004f * t + 0.01f);
    }
    return smoothstep(0.0f, 1.0f, res);
}

float occlusion(const slide_look& look, vec3 p, vec3 n, float scale, int octaves)
{
    float occ = 0.0f, w = 1.0f;
    for (int i = 1; i <= 4; ++i) {
        float h = scale * float(i) * 0.35f;
        vec3 q = p + n * h;
        float d = 1e9f;
        if (look.terrain != terrain_none) d = (q.y - ground_height(look, q.x, q.z, octaves));
        if (look.objects != object_none) d = std::min(d, objects_distance(look, q));
        occ += w * std::max(h - d, 0.0f) / scale;
        w *= 0.6f;
    }
    return clamp01(1.0f - occ * 0.9f);
}
