// Progress of a capture run on stderr: a bar on a terminal, a one-line summary otherwise.
#include "tools/capture/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

static const int k_bar_width = 30;

static bool g_terminal = false;
static long g_total = 0;
static double g_frame_seconds = 0;
static std::chrono::steady_clock::time_point g_started, g_drawn;

static double seconds_since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

void start_progress(long total, double frame_seconds)
{
    g_terminal = isatty(2) != 0;
    g_total = total;
    g_frame_seconds = frame_seconds;
    g_started = std::chrono::steady_clock::now();
    g_drawn = g_started - std::chrono::seconds(1);
}

void show_progress(long done)
{
    if (!g_terminal || (seconds_since(g_drawn) < 0.1 && done < g_total)) return;
    g_drawn = std::chrono::steady_clock::now();
    double wall = seconds_since(g_started);
    double rate = wall > 0 ? done * g_frame_seconds / wall : 0;  // show-seconds per wall-second
    int filled = g_total ? static_cast<int>(k_bar_width * done / g_total) : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(k_bar_width, '.');
    char left[32] = "--:--";
    if (done > 0) {
        long seconds = static_cast<long>(wall / done * (g_total - done) + 0.5);
        std::snprintf(left, sizeof left, "%ld:%02ld", seconds / 60, seconds % 60);
    }
    std::fprintf(stderr, "\r[%s] %ld/%ld frames  %.2f show-s/s  %s left \033[K", bar.c_str(), done, g_total, rate,
                 left);
    std::fflush(stderr);
}

void finish_progress(long done, const std::string& what)
{
    double wall = seconds_since(g_started);
    double show = done * g_frame_seconds;
    if (g_terminal) std::fputs("\r\033[K", stderr);
    if (g_frame_seconds > 0) {
        std::fprintf(stderr, "vellamor-capture: %s: %ld frames, %.3f show-s in %.1f s (%.2f show-s per s)\n",
                     what.c_str(), done, show, wall, wall > 0 ? show / wall : 0.0);
    } else {
        std::fprintf(stderr, "vellamor-capture: %s: %ld frames in %.1f s\n", what.c_str(), done, wall);
    }
}
