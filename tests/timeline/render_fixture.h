// Render checks of the show's frames: the real window and GL, the bank filled with known
// solid-colour textures, a clock the test sets, and where things land on screen.
#pragma once

#include <GL/gl.h>

#include <vector>

#include <gtest/gtest.h>

#include "tests/support/gl_window.h"

// Opens the show's window once per test program.
class show_render : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
};

// A texture of w x h RGBA pixels, nearest filtering, rows from the bottom up.
GLuint make_texture(int w, int h, const unsigned char* rgba);

// A 2x2 texture of one opaque colour.
GLuint make_solid_texture(rgb colour);

// Gives every bank slot a texture of its own solid colour; bank_colour(slot) tells which.
void fill_bank_with_solid_colours();
rgb bank_colour(const GLuint* slot);

// Draws one frame with the clock standing at t (fresh show, spectrum all zero).
void show_frame_at(float t);

// A pixel of the last frame presented by a buffer swap (y from the top), and how many were.
rgb shown(int x, int y);
int presented_frames();

// The whole last presented frame, RGBA, rows from the bottom.
const std::vector<unsigned char>& presented_frame();

// The screen pixel where a point of the plane at depth z (negative) lands.
int screen_x(float x, float z);
int screen_y(float y, float z);

// The smallest single-precision time at or after a double bound, and the one just before it.
float time_at(double bound);
float time_before(double bound);
