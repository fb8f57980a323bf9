// The capture's own OpenGL context and frame read-back: an X window when a display is reachable,
// SDL's offscreen driver (EGL, no display at all) otherwise; the show drawn in a 4:3 box.
#include "tools/capture/capture_context.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdlib>
#include <cstring>

#include "shell/display.h"
#include "tools/common/swap_hook.h"

static int g_width = 0, g_height = 0;
static frame_box g_box = {0, 0, 0, 0};
static std::vector<unsigned char> g_frame;
static std::vector<unsigned char> g_rows;

frame_box show_box(int width, int height)
{
    // compare 4:3 with width:height in whole numbers, so 1024x768 is exactly full frame
    if (static_cast<long>(width) * 3 > static_cast<long>(height) * 4) {
        int w = static_cast<int>(static_cast<long>(height) * 4 / 3);
        return frame_box{(width - w) / 2, 0, w, height};
    }
    int h = static_cast<int>(static_cast<long>(width) * 3 / 4);
    return frame_box{0, (height - h) / 2, width, h};
}

// An X server is used when DISPLAY names one that answers; otherwise the offscreen driver.
// A driver the user chose with SDL_VIDEODRIVER is taken as it is.
static bool start_video_driver()
{
    if (std::getenv("SDL_VIDEODRIVER")) return SDL_Init(SDL_INIT_VIDEO) == 0;
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
        SDL_Quit();
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

bool open_capture_context(int width, int height, std::string& error)
{
    if (!start_video_driver()) {
        error = std::string("cannot start SDL's video: ") + SDL_GetError();
        return false;
    }
    // the show's context attributes, so the frames are the show's own pixels; no swap
    // interval: nothing here waits for a display
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 0);
    if (!SDL_SetVideoMode(width, height, 0, SDL_OPENGL)) {
        error = "cannot open a " + std::to_string(width) + "x" + std::to_string(height) + " OpenGL context (" +
            capture_video_driver() + "): " + SDL_GetError();
        SDL_Quit();
        return false;
    }
    SDL_WM_SetCaption("vellamor-capture", nullptr);

    init_gl_state();
    g_width = width;
    g_height = height;
    g_box = show_box(width, height);
    glViewport(g_box.x, g_box.y, g_box.width, g_box.height);
    g_frame.assign(static_cast<std::size_t>(width) * height * 3, 0);
    g_rows.assign(static_cast<std::size_t>(g_box.width) * g_box.height * 3, 0);
    return true;
}

std::string capture_video_driver()
{
    char name[64] = "";
    return SDL_VideoDriverName(name, sizeof name) ? name : "none";
}

const std::vector<unsigned char>& presented_frame()
{
    return g_frame;
}

// What the frame presents is the back buffer just before the swap; only the box is read, so
// the bars stay black whatever the scenes' clears did outside it.
static void read_back_box()
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(g_box.x, g_box.y, g_box.width, g_box.height, GL_RGB, GL_UNSIGNED_BYTE, g_rows.data());
    std::size_t row = static_cast<std::size_t>(g_box.width) * 3;
    for (int y = 0; y < g_box.height; ++y) {
        int frame_row = g_height - 1 - (g_box.y + y);
        std::memcpy(&g_frame[(static_cast<std::size_t>(frame_row) * g_width + g_box.x) * 3],
                    &g_rows[static_cast<std::size_t>(y) * row], row);
    }
}

// The show's render_frame presents each frame through SDL's swap: keep it before it is swapped.
void on_frame_presented()
{
    read_back_box();
}

void close_capture_context()
{
    SDL_Quit();
}
