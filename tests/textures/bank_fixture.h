// Test support for the texture bank: a window per process, a scratch data folder, screen geometry.
#pragma once

#include <GL/gl.h>

#include "tests/support/gl_window.h"
#include "tests/support/shipped_data.h"

#include <string>
#include <vector>

// Opens the show's window and GL state the first time; later calls reuse it.
bool open_window_once();

// Makes an empty folder with a data/ folder inside; returns its path.
std::string make_scratch_root();

// Removes a folder made by make_scratch_root with everything in it.
void remove_scratch_root(const std::string& root);

// Changes the working directory and returns the previous one.
std::string enter_folder(const std::string& folder);

// The texture names in the bank's slots, in load order.
std::vector<GLuint> bank_names();

// How many of the names 1..up_to denote textures in the current context.
int live_texture_count(GLuint up_to);

// Screen pixel (x from the left, y from the top) of the point (x, y) in the plane z = -depth.
struct screen_point {
    int x, y;
};
screen_point project(float x, float y, float depth);

// Clears to a colour and draws a bank texture as the show places a quad of half-height h.
void draw_placed_quad(GLuint texture, float h, float depth, float clear_r, float clear_g, float clear_b);

// The colour at screen pixel (x, y) of what was just drawn. Reading back names GL_BACK, which
// the window's framebuffer refuses with an error; the pixels still come from where we drew, so
// that error is taken here and does not reach a test's own check of glGetError.
rgb screen_colour(int x, int y);

// Runs a call with stdout and stderr sent to a file; returns what it wrote there.
std::string output_of(void (*call)());
