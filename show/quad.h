// The textured quad every scene is drawn with.
#pragma once

#include <GL/gl.h>

// Binds a bank texture and draws the axis-aligned quad of half-width 1 and half-height h at z = 0.
void draw_quad(GLuint texture, float h);
