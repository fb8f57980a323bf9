// Opens the show's canvas on a page: a 1024x768 drawing buffer that the page scales into any
// window with bars. Fullscreen is the page's to ask for, on the click that starts the show: a
// browser grants it on a gesture only.
#include "shell/display.h"

#include <SDL/SDL.h>

#include "platform/message_box.h"

struct gl_attribute {
    SDL_GLattr attribute;
    int value;
};

// The show's context, but for the swap interval: the browser paces the frames itself.
// clang-format off
static const gl_attribute k_context_attributes[] = {
    {SDL_GL_RED_SIZE,      8},
    {SDL_GL_GREEN_SIZE,    8},
    {SDL_GL_BLUE_SIZE,     8},
    {SDL_GL_DEPTH_SIZE,   24},
    {SDL_GL_DOUBLEBUFFER,  1},
    {SDL_GL_STENCIL_SIZE,  8},
};
// clang-format on

static void error_box(const char* text)
{
    MessageBoxA(nullptr, text, "ERROR", MB_ICONWARNING | MB_OK);
}

bool init_display(int width, int height)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        error_box("Unable to initialize SDL!");
        return false;
    }
    for (const gl_attribute& a : k_context_attributes) {
        SDL_GL_SetAttribute(a.attribute, a.value);
    }
    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL)) {
        error_box("Unable to open screen!");
        return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    return true;
}
