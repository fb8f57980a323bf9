// Ray marching of a slide's scene, with normals, soft shadows and ambient occlusion.
#pragma once
#include "tools/pictures/slide.h"

enum hit_kind { hit_sky, hit_ground, hit_object, hit_water };

struct hit {
    float t;
    hit_kind kind;
};

hit march_scene(const slide_look& look, vec3 o, vec3 d, bool with_water, float t_start = 0.01f);
// How far every ray within `cone` radians of d can travel from o before it may meet anything:
// marched once per pixel, it lets each of the pixel's samples skip the empty stretch.
float cone_start(const slide_look& look, vec3 o, vec3 d, float cone);
int detail_octaves(const slide_look& look, float t);
int march_octaves(const slide_look& look, float t);
vec3 ground_normal(const slide_look& look, vec3 p, float t);
vec3 objects_normal(const slide_look& look, vec3 p, float t);
// Both read the ground at the detail it was hit with, so a surface never shadows itself.
float soft_shadow(const slide_look& look, vec3 p, vec3 l, float reach, int octaves);  // 0 dark .. 1 lit
float occlusion(const slide_look& look, vec3 p, vec3 n, float scale, int octaves);    // 0 shut .. 1 open
