// The show's fixed rendering state: viewport, projection, shading, clears and depth test.
#include <GL/gl.h>
#include <GL/glu.h>

#include "shell/display.h"

bool init_gl_state()
{
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // the near plane is the single-precision 0.1, widened
    gluPerspective(45.0, 1024.0 / 768.0, static_cast<double>(0.1f), 200.0);
    glMatrixMode(GL_MODELVIEW);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}
