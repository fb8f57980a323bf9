// The capture tool's show clock: stands at whatever time the tool sets.
#include "tools/capture/capture_clock.h"

#include "audio/music.h"

static float g_capture_time = 0.0f;

void set_capture_time(float t)
{
    g_capture_time = t;
}

float music_time()
{
    return g_capture_time;
}
