// The slideshow renderer: how a slide is described, and the pieces that render one.
#pragma once
#include <cstdint>

#include "tools/pictures/vec3.h"

enum terrain_kind {
    terrain_none,
    terrain_flat,
    terrain_mountains,
    terrain_dunes,
    terrain_hills,
    terrain_mesas,
    terrain_craters,
    terrain_islands,
    terrain_cloudsea
};
enum object_kind {
    object_none,
    object_spheres,
    object_colonnade,
    object_stones,
    object_city,
    object_lighthouse,
    object_pebbles
};
enum sky_body { body_sun, body_moon, body_none };

// One slide: a scene (ground, water, objects), its light and sky, and its camera.
struct slide_look {
    terrain_kind terrain;
    object_kind objects;
    float terrain_height;  // vertical scale of the ground
    float terrain_scale;   // horizontal size of its largest features
    float water_level;     // below -1e3: no water
    vec3 water_deep, water_shallow;
    float waves;                       // strength of the wave normals
    float snow_line;                   // ground above this height turns white; very high: never
    float sun_elevation, sun_azimuth;  // degrees
    sky_body body;                     // what the light source looks like in the sky
    vec3 sun_colour;                   // linear light colour and strength
    vec3 zenith, horizon;              // sky gradient
    float fog_density;                 // per unit of distance
    float fog_height;                  // fog thins out above this height (exponential scale)
    float clouds;                      // cover, 0 none .. 1 overcast
    float cloud_height;
    float stars;               // brightness of the star field, 0 none
    float aurora;              // brightness of aurora curtains, 0 none
    float planet;              // size of a planet in the sky, 0 none
    vec3 cam_pos;              // x, height above the ground or water, z
    float cam_pitch, cam_yaw;  // degrees; yaw 0 looks down -z, positive turns right
    float fov;                 // vertical field of view in degrees
    float exposure;
    uint32_t seed;
    vec3 ground_tint;  // multiplies the ground's own colours (a season's palette)
    // Left out (zero) by most slides:
    float wave_size;  // wave length multiplier, 0 or 1 the usual chop, larger a longer swell
    float beam;       // strength of the lighthouse's beam in the air, 0 none
};

// Whether slide `number` has a look of its own; a slide added to the list needs one.
bool has_slide_look(int number);
const slide_look& slide_look_for(int number);  // 1..17

// Sky (with clouds, stars, bodies) seen along direction d.
vec3 sky_colour(const slide_look& look, vec3 d, bool with_sun);
vec3 sun_direction(const slide_look& look);
void set_sky_pixel_angle(float radians);

// Ground height and colour.
float ground_height(const slide_look& look, float x, float z, int octaves);
vec3 ground_albedo(const slide_look& look, vec3 p, vec3 n);
bool is_cloud(const slide_look& look, vec3 p);  // the top of a sea of clouds, not rock

// Objects standing on the ground: distance, and material at a surface point.
struct surface {
    vec3 albedo;
    float reflect;  // mirror part, 0..1
    vec3 emission;  // light of its own
};
float objects_distance(const slide_look& look, vec3 p);
surface objects_surface(const slide_look& look, vec3 p, vec3 n);
