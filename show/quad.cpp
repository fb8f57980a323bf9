// The textured quad every scene is drawn with.
#include "show/quad.h"

void draw_quad(GLuint texture, float h)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -h, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -h, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, h, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, h, 0);
    glEnd();
}
