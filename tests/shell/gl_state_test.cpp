// The show's window and the fixed GL state every frame starts from, read back from a real context.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cmath>

#include "shell/display.h"
#include "tests/support/gl_window.h"

// The projection for a vertical field of view of 45 degrees, aspect 4:3, near 0.1, far 200,
// written out from the perspective formula rather than taken from GLU.
static void expected_projection(double m[16])
{
    const double pi = 3.14159265358979323846;
    const double f = 1.0 / std::tan(45.0 / 2.0 * pi / 180.0);
    const double aspect = 4.0 / 3.0, near_plane = 0.1, far_plane = 200.0;
    for (int i = 0; i < 16; ++i) m[i] = 0.0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (far_plane + near_plane) / (near_plane - far_plane);
    m[11] = -1.0;
    m[14] = 2.0 * far_plane * near_plane / (near_plane - far_plane);
}

static void expect_matrix(GLenum which, const double expected[16], const char* name)
{
    GLfloat m[16];
    glGetFloatv(which, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(m[i], expected[i], 1e-5 * (1.0 + std::fabs(expected[i]))) << name << " element " << i;
    }
}

static void expect_fixed_state()
{
    GLint mode = 0, depth_func = 0, shade = 0, hint = 0, viewport[4] = {};
    GLfloat clear[4] = {1, 1, 1, 1}, clear_depth = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clear_depth);

    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(depth_func, GL_LEQUAL);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_EQ(hint, GL_NICEST);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(clear[i], 0.0f) << "clear colour channel " << i;
    EXPECT_EQ(clear_depth, 1.0f);

    double projection[16];
    expected_projection(projection);
    expect_matrix(GL_PROJECTION_MATRIX, projection, "projection");
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expect_matrix(GL_MODELVIEW_MATRIX, identity, "modelview");

    // the renderer switches these on itself when it needs them
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(show_window, is_a_fullscreen_double_buffered_gl_window_without_cursor)
{
    ASSERT_TRUE(open_show_window()) << "no window: is DISPLAY set to a 1024x768 screen?";
    SDL_Surface* screen = SDL_GetVideoSurface();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 1024);
    EXPECT_EQ(screen->h, 768);
    EXPECT_TRUE(screen->flags & SDL_OPENGL);
    EXPECT_TRUE(screen->flags & SDL_FULLSCREEN);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    int value = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &value);
    EXPECT_EQ(value, 1);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &value);
    EXPECT_GE(value, 24);
    SDL_GL_GetAttribute(SDL_GL_STENCIL_SIZE, &value);
    EXPECT_GE(value, 8);
    SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &value);
    EXPECT_GE(value, 8);
}

TEST(fixed_gl_state, is_set_after_init)
{
    ASSERT_TRUE(open_show_window());
    expect_fixed_state();
}

TEST(fixed_gl_state, is_for_1024x768_whatever_size_the_window_was_opened_with)
{
    ASSERT_TRUE(init_display(640, 480));
    EXPECT_TRUE(init_gl_state());
    expect_fixed_state();
}

// Draws a flat quad covering the centre of the screen at depth z in the show's projection.
static void draw_square(float z, float r, float g, float b)
{
    glColor3f(r, g, b);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, z);
    glVertex3f(1, -1, z);
    glVertex3f(1, 1, z);
    glVertex3f(-1, 1, z);
    glEnd();
}

TEST(fixed_gl_state, depth_test_lets_a_later_draw_at_equal_depth_win_and_hides_what_is_behind)
{
    ASSERT_TRUE(open_show_window());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_TRUE(near_colour(read_pixel(512, 384), rgb{0, 0, 0}, 0)) << "clear is not black";

    draw_square(-5, 1, 0, 0);
    draw_square(-5, 0, 1, 0);  // same depth: drawn over with GL_LEQUAL
    draw_square(-6, 0, 0, 1);  // behind: hidden
    rgb centre = read_pixel(512, 384);
    EXPECT_TRUE(near_colour(centre, rgb{0, 255, 0}, 4))
        << "centre is " << centre.r << "," << centre.g << "," << centre.b;

    // the quad's half-width 1 at distance 5 spans 1/(5 tan 22.5 deg) of the half-height
    const double half_height_px = 384.0 / (5.0 * std::tan(3.14159265358979323846 / 8.0));
    int inside = static_cast<int>(512 + half_height_px - 3);
    int outside = static_cast<int>(512 + half_height_px + 3);
    EXPECT_TRUE(near_colour(read_pixel(inside, 384), rgb{0, 255, 0}, 4)) << "x " << inside;
    EXPECT_TRUE(near_colour(read_pixel(outside, 384), rgb{0, 0, 0}, 4)) << "x " << outside;
}
