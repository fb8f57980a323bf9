// The show timeline: draws one frame for the current show time and ends the show at 83 s.
#pragma once

#include <GL/gl.h>

extern bool g_show_over;

// Draws and presents one frame; false, doing nothing, once the show is over.
bool render_frame();

// Binds a bank texture and draws the axis-aligned quad of half-width 1 and half-height h at z = 0.
void draw_quad(GLuint texture, float h);
