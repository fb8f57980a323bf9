// The seventeen slides as data: what each scene holds, its light, its sky and its camera.
#include "tools/pictures/slide.h"

#define NO_WATER -1e9f, {0, 0, 0}, {0, 0, 0}, 0.0f
#define NEVER_SNOW 1e9f

// Fields, in order: ground kind, objects, ground height, ground scale,
// water level, deep and shallow water colour, waves, snow line,
// sun elevation and azimuth, sky body, sun colour, zenith, horizon,
// fog density and height, cloud cover and height, stars, aurora, planet,
// camera (x, height, z), pitch, yaw, field of view, exposure, seed, ground tint.
// clang-format off
static const slide_look g_looks[17] = {
    // 1: a lighthouse at dusk on a swelling sea, its beam sweeping the haze.
    {terrain_none, object_lighthouse, 0.0f, 100.0f,
     0.0f, {0.01f, 0.02f, 0.04f}, {0.01f, 0.02f, 0.04f}, 0.14f, NEVER_SNOW,
     -2.5f, 40.0f, body_none, {1.2f, 0.55f, 0.35f}, {0.025f, 0.04f, 0.13f}, {0.62f, 0.30f, 0.22f},
     0.0f, 100.0f, 0.3f, 1100.0f, 0.12f, 0.0f, 0.0f,
     {-10.0f, 4.0f, -80.0f}, 5.0f, -12.0f, 45.0f, 1.1f, 133, {1.0f, 1.0f, 1.0f}, 2.0f, 1.2f},
    // 2: desert dunes at sunset, long shadows.
    {terrain_dunes, object_none, 55.0f, 200.0f,
     NO_WATER, NEVER_SNOW,
     4.0f, 35.0f, body_sun, {3.8f, 2.0f, 0.9f}, {0.10f, 0.16f, 0.40f}, {0.95f, 0.62f, 0.40f},
     0.0005f, 60.0f, 0.18f, 2000.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 14.0f, 0.0f}, 0.0f, 25.0f, 50.0f, 0.7f, 22, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 3: autumn hills in the morning, mist lying in the far valleys.
    {terrain_hills, object_none, 110.0f, 520.0f,
     NO_WATER, NEVER_SNOW,
     14.0f, -55.0f, body_sun, {3.2f, 2.5f, 1.7f}, {0.10f, 0.24f, 0.58f}, {0.72f, 0.78f, 0.88f},
     0.012f, 12.0f, 0.3f, 1800.0f, 0.0f, 0.0f, 0.0f,
     {40.0f, 120.0f, 60.0f}, -6.0f, 30.0f, 50.0f, 0.95f, 33, {2.7f, 1.2f, 0.55f}, 0.0f, 0.0f},
    // 4: moonlit snow peaks under the stars.
    {terrain_mountains, object_none, 1000.0f, 900.0f,
     NO_WATER, -200.0f,
     20.0f, 16.0f, body_moon, {0.45f, 0.55f, 0.85f}, {0.004f, 0.008f, 0.025f}, {0.025f, 0.04f, 0.08f},
     0.00015f, 300.0f, 0.0f, 2000.0f, 0.8f, 0.0f, 0.0f,
     {600.0f, 40.0f, 600.0f}, 3.0f, 0.0f, 55.0f, 2.2f, 44, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 5: red mesas at noon under fair-weather clouds.
    {terrain_mesas, object_none, 200.0f, 650.0f,
     NO_WATER, NEVER_SNOW,
     28.0f, 120.0f, body_sun, {3.2f, 2.8f, 2.3f}, {0.08f, 0.22f, 0.58f}, {0.55f, 0.68f, 0.85f},
     0.00025f, 400.0f, 0.45f, 1500.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 4.0f, 0.0f}, 5.0f, 0.0f, 55.0f, 0.8f, 55, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 6: the open sea at sunset: a long swell, the sun's path on it, a band of dark cloud.
    {terrain_none, object_none, 0.0f, 100.0f,
     0.0f, {0.004f, 0.012f, 0.025f}, {0.004f, 0.012f, 0.025f}, 0.035f, NEVER_SNOW,
     1.2f, 0.0f, body_sun, {4.2f, 1.5f, 0.45f}, {0.035f, 0.05f, 0.16f}, {0.80f, 0.34f, 0.16f},
     0.0f, 100.0f, 0.32f, 1200.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 5.0f, 0.0f}, 3.0f, 0.0f, 48.0f, 0.7f, 66, {1.0f, 1.0f, 1.0f}, 6.0f, 0.0f},
    // 7: a tropical island from the air at midday: green hills, a white beach, a reef-fringed lagoon.
    {terrain_islands, object_none, 90.0f, 320.0f,
     0.0f, {0.0f, 0.05f, 0.13f}, {0.20f, 0.80f, 0.70f}, 0.05f, NEVER_SNOW,
     62.0f, 160.0f, body_sun, {3.0f, 2.9f, 2.7f}, {0.06f, 0.28f, 0.70f}, {0.60f, 0.80f, 0.95f},
     0.0002f, 200.0f, 0.3f, 900.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 150.0f, 0.0f}, -16.0f, 0.0f, 55.0f, 0.9f, 77, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 8: a colonnade at sunset, light raking between the columns.
    {terrain_flat, object_colonnade, 0.0f, 100.0f,
     NO_WATER, NEVER_SNOW,
     11.0f, -72.0f, body_sun, {3.6f, 2.2f, 1.2f}, {0.18f, 0.28f, 0.55f}, {0.90f, 0.70f, 0.55f},
     0.003f, 30.0f, 0.25f, 1500.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 1.7f, 2.0f}, 5.0f, 0.0f, 62.0f, 1.0f, 88, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 9: a still life of polished balls on a marble table.
    {terrain_flat, object_spheres, 0.0f, 100.0f,
     NO_WATER, NEVER_SNOW,
     38.0f, -40.0f, body_sun, {3.0f, 2.85f, 2.6f}, {0.15f, 0.30f, 0.65f}, {0.70f, 0.78f, 0.90f},
     0.0f, 100.0f, 0.35f, 1500.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 1.2f, 0.0f}, -7.0f, 0.0f, 42.0f, 0.9f, 99, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 10: standing stones on a moor under a storm.
    {terrain_hills, object_stones, 26.0f, 300.0f,
     NO_WATER, NEVER_SNOW,
     9.0f, 28.0f, body_sun, {2.8f, 2.0f, 1.3f}, {0.12f, 0.14f, 0.18f}, {0.42f, 0.42f, 0.45f},
     0.002f, 40.0f, 0.8f, 800.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 2.2f, 0.0f}, 2.0f, 0.0f, 55.0f, 1.1f, 111, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 11: a city's skyline across a bay in the blue hour, its lights drawn out on the water.
    {terrain_none, object_city, 0.0f, 100.0f,
     0.0f, {0.004f, 0.007f, 0.014f}, {0.004f, 0.007f, 0.014f}, 0.04f, NEVER_SNOW,
     -5.0f, 20.0f, body_none, {0.5f, 0.3f, 0.25f}, {0.006f, 0.014f, 0.055f}, {0.10f, 0.09f, 0.16f},
     0.0011f, 150.0f, 0.0f, 1400.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 6.0f, 0.0f}, 4.0f, 0.0f, 40.0f, 0.9f, 122, {1.0f, 1.0f, 1.0f}, 8.0f, 0.0f},
    // 12: an alpine lake at golden hour: broad massifs in alpenglow, mirrored in still water.
    {terrain_mountains, object_none, 750.0f, 1500.0f,
     12.0f, {0.01f, 0.035f, 0.045f}, {0.05f, 0.10f, 0.08f}, 0.012f, 380.0f,
     5.0f, 105.0f, body_sun, {3.8f, 2.0f, 0.9f}, {0.07f, 0.16f, 0.42f}, {0.90f, 0.60f, 0.42f},
     0.00008f, 260.0f, 0.25f, 2600.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 9.0f, 0.0f}, 6.0f, 0.0f, 55.0f, 1.0f, 11, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 13: the Earth above the Moon's horizon, a low sun throwing long crater shadows.
    {terrain_craters, object_none, 30.0f, 220.0f,
     NO_WATER, NEVER_SNOW,
     7.0f, 120.0f, body_sun, {3.2f, 3.15f, 3.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f},
     0.0f, 100.0f, 0.0f, 1000.0f, 0.0f, 0.0f, 0.15f,
     {0.0f, 2.2f, 0.0f}, 13.0f, 40.0f, 50.0f, 1.0f, 144, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 14: the northern lights over a frozen lake.
    {terrain_hills, object_none, 90.0f, 500.0f,
     30.0f, {0.01f, 0.015f, 0.02f}, {0.03f, 0.04f, 0.05f}, 0.015f, -1000.0f,
     15.0f, 180.0f, body_none, {0.25f, 0.32f, 0.5f}, {0.003f, 0.006f, 0.016f}, {0.02f, 0.035f, 0.06f},
     0.0f, 100.0f, 0.0f, 1000.0f, 1.0f, 1.0f, 0.0f,
     {0.0f, 3.0f, 0.0f}, 12.0f, 0.0f, 60.0f, 2.0f, 155, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 15: a fjord in the blue hour.
    {terrain_mountains, object_none, 650.0f, 700.0f,
     6.0f, {0.01f, 0.02f, 0.035f}, {0.02f, 0.04f, 0.05f}, 0.05f, 380.0f,
     3.0f, 75.0f, body_sun, {2.6f, 1.3f, 1.1f}, {0.06f, 0.10f, 0.28f}, {0.50f, 0.45f, 0.62f},
     0.00012f, 220.0f, 0.25f, 2200.0f, 0.15f, 0.0f, 0.0f,
     {0.0f, 8.0f, 0.0f}, 5.0f, 0.0f, 55.0f, 1.2f, 166, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 16: sunrise above a sea of clouds, knife-edged ridges breaking through it against the light.
    {terrain_cloudsea, object_none, 1100.0f, 1300.0f,
     NO_WATER, 760.0f,
     6.0f, 235.0f, body_sun, {3.6f, 2.1f, 1.3f}, {0.05f, 0.11f, 0.34f}, {0.80f, 0.56f, 0.50f},
     0.0005f, 350.0f, 0.12f, 3000.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 160.0f, 0.0f}, -1.0f, 300.0f, 55.0f, 0.85f, 177, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
    // 17: wet pebbles on a beach, close up.
    {terrain_flat, object_pebbles, 0.0f, 100.0f,
     NO_WATER, NEVER_SNOW,
     24.0f, -120.0f, body_sun, {3.0f, 2.75f, 2.4f}, {0.18f, 0.32f, 0.68f}, {0.65f, 0.75f, 0.90f},
     0.0f, 100.0f, 0.0f, 1000.0f, 0.0f, 0.0f, 0.0f,
     {0.0f, 1.7f, 2.0f}, -38.0f, 0.0f, 45.0f, 0.85f, 188, {1.0f, 1.0f, 1.0f}, 0.0f, 0.0f},
};
// clang-format on

bool has_slide_look(int number)
{
    return number >= 1 && number <= int(sizeof g_looks / sizeof g_looks[0]);
}

const slide_look& slide_look_for(int number)
{
    return g_looks[number - 1];
}
