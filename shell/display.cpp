// Opens the show's fullscreen OpenGL window.
#include "shell/display.h"

#include <SDL/SDL.h>

#include <cstring>

#include "platform/error_box.h"
#include "shell/screen_cover.h"

struct gl_attribute {
    SDL_GLattr attribute;
    int value;
};

// The context the show asks for. The swap interval is our addition: the buffer
// swap then paces the loop at the display's refresh instead of spinning a core.
// clang-format off
static const gl_attribute k_context_attributes[] = {
    {SDL_GL_RED_SIZE,      8},
    {SDL_GL_GREEN_SIZE,    8},
    {SDL_GL_BLUE_SIZE,     8},
    {SDL_GL_DEPTH_SIZE,   24},
    {SDL_GL_DOUBLEBUFFER,  1},
    {SDL_GL_STENCIL_SIZE,  8},
    {SDL_GL_SWAP_CONTROL,  1},
};
// clang-format on

// With no display to reach, SDL falls back on its off-screen driver, which renders into memory
// and shows nobody anything: for the show that is no screen at all.
static bool video_reaches_a_screen()
{
    char driver[32] = {};
    return SDL_VideoDriverName(driver, sizeof driver) && std::strcmp(driver, "offscreen") != 0;
}

bool init_display(int width, int height)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        show_error_box("Unable to initialize SDL!");
        return false;
    }
    if (!video_reaches_a_screen()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        show_error_box("Unable to initialize SDL!");
        return false;
    }

    for (const gl_attribute& a : k_context_attributes) {
        SDL_GL_SetAttribute(a.attribute, a.value);
    }

    // the screen's own size, read before the mode is set
    const SDL_VideoInfo* screen = SDL_GetVideoInfo();
    int screen_width = screen ? screen->current_w : 0, screen_height = screen ? screen->current_h : 0;

    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL | SDL_FULLSCREEN)) {
        show_error_box("Unable to open screen!");
        return false;
    }
    if (screen_width > 0 && screen_height > 0) cover_screen(screen_width, screen_height);

    SDL_ShowCursor(SDL_DISABLE);
    return true;
}
