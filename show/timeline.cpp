// The show timeline: one frame for the current show time, every window tested on fresh readings.
#include "show/timeline.h"

#include <SDL/SDL.h>

#include <cmath>

#include "audio/music.h"
#include "show/scenes.h"
#include "show/show_times.h"
#include "show/window_table.h"

bool g_show_over = false;

// Each bound is compared with a reading of its own, taken at the moment of the test,
// so a frame in which the clock passes a bound draws both neighbours, in order.
static bool window_holds(const show_window& window)
{
    if (window.from != k_no_lower_bound && !(static_cast<double>(music_time()) >= window.from)) {
        return false;
    }
    return static_cast<double>(music_time()) < window.until;
}

bool render_frame()
{
    if (g_show_over) return false;

    // the frame time: every motion and the end of the show follow this one reading
    float t = music_time();

    for (const show_window& window : g_window_table) {
        if (window_holds(window)) draw_scene(window, t);
    }

    SDL_GL_SwapBuffers();
    if (t >= k_show_end) g_show_over = true;
    return true;
}
