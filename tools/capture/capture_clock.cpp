// The capture tool's show clock: stands at the time of the frame being rendered.
#include "tools/capture/capture_clock.h"

#include "audio/music.h"

static float g_capture_time = 0.0f;

void set_capture_time(float t)
{
    g_capture_time = t;
}

double frame_time(double start, long k, int fps)
{
    // one division per frame, never a running sum, so frame 5000 is as exact as frame 1
    return start + static_cast<double>(k) / fps;
}

float music_time()
{
    return g_capture_time;
}
