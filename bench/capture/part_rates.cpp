// Benchmark: the live show's frame rate in each of its three parts. The real show with its real
// clock; a stand-in for the buffer swap counts each frame under the part its show time falls in,
// and the counts go to stderr when the process exits.
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>

#include "audio/music.h"
#include "tools/common/swap_hook.h"

struct show_part {
    const char* name;
    float from, until;
    long frames;
    double first, last;  // steady seconds of its first and last frame
};

static show_part g_parts[] = {
    {"title strips 0-11.8 s", 0.0f, 11.8f, 0, 0, 0},
    {"slideshow 11.8-29.3 s", 11.8f, 29.3f, 0, 0, 0},
    {"model scene 29.3-83 s", 29.3f, 83.0f, 0, 0, 0},
};

static double steady_seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Counts each presented frame in the part of the show it belongs to.
void on_frame_presented()
{
    float t = music_time();
    double now = steady_seconds();
    for (show_part& p : g_parts) {
        if (t < p.from || t >= p.until) continue;
        if (p.frames == 0) p.first = now;
        p.last = now;
        ++p.frames;
    }
}

__attribute__((destructor)) static void report_parts()
{
    for (const show_part& p : g_parts) {
        double span = p.last - p.first;
        std::fprintf(stderr, "live %s: %ld frames in %.2f s, %.1f frames/s\n", p.name, p.frames, span,
                     span > 0 ? (p.frames - 1) / span : 0.0);
    }
}
