// The capture's own OpenGL context and frame read-back: an X window when a display is reachable,
// SDL's offscreen driver (EGL, no display at all) otherwise; the show drawn in a 4:3 box of a
// framebuffer `supersample` times the frame's size, and filtered down as it is read back.
#include "tools/capture/capture_context.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <cstdlib>

#include "shell/display.h"
#include "tools/capture/box_filter.h"
#include "tools/capture/frame_buffer.h"
#include "tools/common/swap_hook.h"

// The window (or offscreen surface) only holds the context: every frame is drawn in the
// framebuffer, so its size costs nothing per frame.
static const int k_context_width = 320, k_context_height = 240;
// Frame rows read back at a time: a band, not the whole supersampled frame, is ever in memory.
static const int k_band_rows = 32;
// A sample in Mesa's llvmpipe: RGBA colour and packed depth and stencil, 8 bytes, and what it
// rounds a renderbuffer up to (8.2 bytes measured from 1024x768 to 16384x16384).
static const double k_sample_bytes = 8.25;

static int g_width = 0, g_height = 0, g_supersample = 1;
static frame_box g_box = {0, 0, 0, 0};
static std::vector<unsigned char> g_frame;
static std::vector<unsigned char> g_band;  // RGBA samples, rows from the bottom

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

bool open_capture_context(int width, int height, int supersample, std::string& error)
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
    if (!SDL_SetVideoMode(k_context_width, k_context_height, 0, SDL_OPENGL)) {
        error = "cannot open an OpenGL context (" + capture_video_driver() + "): " + SDL_GetError();
        SDL_Quit();
        return false;
    }
    SDL_WM_SetCaption("vellamor-capture", nullptr);
    if (!open_frame_buffer(width * supersample, height * supersample, error)) {
        if (supersample > 1) {
            error += " (" + std::to_string(width) + "x" + std::to_string(height) + " at --supersample " +
                std::to_string(supersample) + ")";
        }
        SDL_Quit();
        return false;
    }

    init_gl_state();
    g_width = width;
    g_height = height;
    g_supersample = supersample;
    g_box = show_box(width, height);
    glViewport(g_box.x * supersample, g_box.y * supersample, g_box.width * supersample, g_box.height * supersample);
    g_frame.assign(static_cast<std::size_t>(width) * height * 3, 0);
    g_band.assign(static_cast<std::size_t>(g_box.width) * supersample * k_band_rows * supersample * 4, 0);
    return true;
}

double frame_memory_bytes(int width, int height, int supersample)
{
    frame_box box = show_box(width, height);
    double samples = static_cast<double>(width) * height * supersample * supersample;
    double band = static_cast<double>(box.width) * supersample * k_band_rows * supersample * 4;
    return samples * k_sample_bytes + band + static_cast<double>(width) * height * 3;
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

// What the frame presents is the framebuffer just before the swap; only the box is read, so
// the bars stay black whatever the scenes' clears did outside it. It is read a band of rows at a
// time, each row of the frame from `supersample` rows of samples.
static void read_back_box()
{
    const int n = g_supersample;
    const std::ptrdiff_t sample_row = static_cast<std::ptrdiff_t>(g_box.width) * n * 4;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (int first = 0; first < g_box.height; first += k_band_rows) {
        int rows = std::min(k_band_rows, g_box.height - first);
        glReadPixels(g_box.x * n, (g_box.y + first) * n, g_box.width * n, rows * n, GL_RGBA, GL_UNSIGNED_BYTE,
                     g_band.data());
        for (int y = 0; y < rows; ++y) {
            int frame_row = g_height - 1 - (g_box.y + first + y);
            shrink_row(&g_band[static_cast<std::size_t>(y * n) * sample_row], sample_row, 4, n, g_box.width,
                       &g_frame[(static_cast<std::size_t>(frame_row) * g_width + g_box.x) * 3]);
        }
    }
}

// The show's render_frame presents each frame through SDL's swap: keep it before it is swapped.
void on_frame_presented()
{
    read_back_box();
}

void close_capture_context()
{
    close_frame_buffer();
    SDL_Quit();
}
