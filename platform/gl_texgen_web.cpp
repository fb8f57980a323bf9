// Texture-coordinate generation on a page: the browser's GL emulation has none (its own glTexGeni
// throws and stops the frame), so this stand-in keeps the mode asked for, and the scene mesh, the
// one thing the show draws with generation on, makes sphere-map coordinates itself.
#include "platform/gl_texgen_web.h"

#include <GL/gl.h>

static GLint g_mode_s = 0;
static GLint g_mode_t = 0;

extern "C" void glTexGeni(GLenum coord, GLenum pname, GLint param)
{
    if (pname != GL_TEXTURE_GEN_MODE) return;
    if (coord == GL_S) g_mode_s = param;
    if (coord == GL_T) g_mode_t = param;
}

bool sphere_map_requested()
{
    return g_mode_s == GL_SPHERE_MAP && g_mode_t == GL_SPHERE_MAP;
}
