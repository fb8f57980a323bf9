// Where the capture draws: a framebuffer object of the supersampled frame's size, whatever the
// size of the window or offscreen surface that holds the context.
#pragma once

#include <string>

// Creates a framebuffer of width x height (8-bit RGBA colour, 24-bit depth, 8-bit stencil, as the
// show's context asks for) and binds it for drawing and reading. False with the reason when the
// OpenGL cannot draw that size or has no framebuffer objects.
bool open_frame_buffer(int width, int height, std::string& error);

void close_frame_buffer();
