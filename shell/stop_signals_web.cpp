// The page's request to stop the show: leaving fullscreen. In fullscreen the browser takes Escape
// for itself and leaves fullscreen, so the page never sees the key: this is how Escape stops it.
#include "shell/stop_signals.h"

#include <emscripten/html5.h>

static bool g_stop_requested = false;

static EM_BOOL on_fullscreen_change(int, const EmscriptenFullscreenChangeEvent* change, void*)
{
    if (!change->isFullscreen) g_stop_requested = true;
    return EM_FALSE;
}

// Each show on the page starts with no request.
void watch_stop_signals()
{
    g_stop_requested = false;
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             on_fullscreen_change);
}

bool stop_signal_received()
{
    return g_stop_requested;
}
