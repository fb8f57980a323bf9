// The kinds of scene the window table names, each drawn with its fixed sequence of GL calls.
#include "show/scenes.h"

#include "assets/texture_bank.h"
#include "show/model_scene.h"
#include "show/quad.h"

// Cut-outs are drawn opaque where their alpha is above this, not at all elsewhere.
static const float k_cutout_alpha = 0.82f;

static const float k_strip_half_height = 0.125f;
static const float k_billboard_half_height = 0.5f;
static const float k_picture_half_height = 1.0f;

static void draw_cutout(GLuint texture, float half_height)
{
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, k_cutout_alpha);
    draw_quad(texture, half_height);
    glDisable(GL_ALPHA_TEST);
}

// Two strips on white, the first moving left from x = 1.5, the second right from x = -1.5.
static void draw_title_strips(float t, float depth)
{
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(1.5f - t / 2.0f, 0.1f, depth);
    draw_cutout(g_tex_dimbrane, k_strip_half_height);

    glClear(GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(t / 2.0f - 1.5f, -0.1f, depth);
    draw_cutout(g_tex_presents, k_strip_half_height);
}

// A card over whatever the rows before it drew: only depth is cleared.
static void draw_billboard(GLuint texture, float x, float y, float z)
{
    glClear(GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(x, y, z);
    draw_cutout(texture, k_billboard_half_height);
}

static void draw_picture(GLuint texture, float x, float y, float z)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_ALPHA_TEST);
    glTranslatef(x, y, z);
    draw_quad(texture, k_picture_half_height);
}

void draw_scene(const show_window& window, float t)
{
    switch (window.kind) {
    case scene_title_strips:
        draw_title_strips(t, window.z);
        break;
    case scene_billboard:
        draw_billboard(*window.texture, window.x, window.y, window.z);
        break;
    case scene_sliding_billboard:
        // from where it stands at rest, one unit down per second from the row's start
        draw_billboard(*window.texture, window.x, window.y - (t - static_cast<float>(window.from)), window.z);
        break;
    case scene_picture:
        draw_picture(*window.texture, window.x, window.y, window.z);
        break;
    case scene_model:
        draw_model_scene(t);
        break;
    case scene_model_billboard:
        // the model scene leaves sphere mapping on; the card shows its own image
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        draw_billboard(*window.texture, window.x, window.y, window.z);
        break;
    }
}
