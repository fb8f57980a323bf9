// The show timeline. PLACEHOLDER until the window table lands: clears and swaps, nothing more.
#include "show/timeline.h"

#include <SDL/SDL.h>

bool g_show_over = false;

void draw_quad(GLuint texture, float h)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex3f(-1, -h, 0);
    glTexCoord2f(1, 0); glVertex3f(1, -h, 0);
    glTexCoord2f(1, 1); glVertex3f(1, h, 0);
    glTexCoord2f(0, 1); glVertex3f(-1, h, 0);
    glEnd();
}

// placeholder: the least that lets the frame loop run; replaced by the window table
bool render_frame()
{
    if (g_show_over) return false;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    return true;
}
