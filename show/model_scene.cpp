// The model scene: a backdrop spinning with the show time and the sphere-mapped model that sways
// with a sine of it and jumps right and up with two low bins of the music's spectrum.
#include "show/model_scene.h"

#include <GL/gl.h>

#include <cmath>

#include "assets/scene_mesh.h"
#include "assets/texture_bank.h"
#include "audio/music.h"
#include "show/quad.h"

static const float k_backdrop_spin = 30.0f;  // degrees per second of show time
static const float k_backdrop_depth = -1.2f;
static const float k_backdrop_half_height = 1.0f;
static const float k_object_depth = -4.0f;
static const float k_horizontal_gain = 3.8f;   // per unit of spectrum value 7
static const float k_vertical_gain = 0.5f;     // per unit of spectrum value 6
static const double k_sway_angle_gain = 50.0;  // degrees per unit of sin t
static const double k_sway_axis_gain = 5.0;

void draw_model_scene(float t)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // the previous frame's call left sphere mapping on; the backdrop uses its own coordinates
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);

    // the backdrop turns about the view axis, counted from show time 0
    glRotatef(k_backdrop_spin * t, 0, 0, 1);
    glTranslatef(0, 0, k_backdrop_depth);
    draw_quad(g_tex_univers, k_backdrop_half_height);

    // the backdrop never hides the object
    glClear(GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // spectrum values are never negative: the object only moves right and up from rest
    glTranslatef(k_horizontal_gain * g_spectrum[7], k_vertical_gain * g_spectrum[6], k_object_depth);

    // angle and axis share the sign of sin t: always a tilt of 50 |sin t| degrees about +x
    double s = std::sin(static_cast<double>(t));
    glRotatef(static_cast<float>(k_sway_angle_gain * s), static_cast<float>(k_sway_axis_gain * s), 0, 0);

    glBindTexture(GL_TEXTURE_2D, g_tex_vuveduruvi);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    draw_scene_mesh();

    glDisable(GL_ALPHA_TEST);
}
