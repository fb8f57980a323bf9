// Opens the show's canvas on a page: a 1024x768 drawing buffer that the page scales into any
// window with bars. Fullscreen is the page's to ask for, on the click that starts the show: a
// browser grants it on a gesture only.
#include "shell/display.h"

#include <SDL/SDL.h>

#include "platform/error_box.h"

bool init_display(int width, int height)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        show_error_box("Unable to initialize SDL!");
        return false;
    }
    // of the show's context, WebGL takes only that there be a depth and a stencil buffer; the
    // colour sizes and double buffering are a WebGL canvas's own, the pace the browser's
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL)) {
        show_error_box("Unable to open screen!");
        return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    return true;
}
