// Test support: a show clock the test drives, linked in place of the soundtrack's clock.
#include "tests/support/settable_clock.h"

#include <cstddef>

#include "audio/music.h"

static float g_fixed_time = 0.0f;
static std::vector<float> g_script;
static std::size_t g_next = 0;
static int g_reads = 0;

void set_show_time(float t)
{
    g_fixed_time = t;
    g_script.clear();
    g_next = 0;
    g_reads = 0;
}

void script_show_time(const std::vector<float>& readings)
{
    g_script = readings;
    g_next = 0;
    g_reads = 0;
    if (!readings.empty()) g_fixed_time = readings.back();
}

int show_time_reads()
{
    return g_reads;
}

float music_time()
{
    ++g_reads;
    if (g_next < g_script.size()) return g_script[g_next++];
    return g_fixed_time;
}
