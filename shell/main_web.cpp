// The show's entry point on a page. At once: the canvas, its GL state, the files fetched, the
// pictures decoded and the bank loaded. Then the page starts the show (on a click, or at once
// where sound may start without one), which runs one pass per browser frame, since a page must
// hand each frame back to the browser, and stops as on Linux; the page then offers it again.
#include <emscripten.h>

#include <cstring>

#include "assets/soundtrack_file.h"
#include "assets/texture_bank.h"
#include "audio/music.h"
#include "shell/display.h"
#include "shell/main_loop.h"
#include "shell/show_files_web.h"
#include "shell/stop_signals.h"
#include "show/timeline.h"

// The page's own screens around the show.
EM_JS(void, tell_page_ready, (), {
    if (Module.onShowReady) Module.onShowReady();
});
EM_JS(void, tell_page_ended, (), {
    if (Module.onShowEnded) Module.onShowEnded();
});

// Shutdown as on Linux, but for the bank and the canvas, which stay with the page for the next show.
static void end_show()
{
    emscripten_cancel_main_loop();
    stop_music();
    tell_page_ended();
}

static void pass()
{
    run_pass();
    if (g_quit) end_show();
}

// Called by the page; the soundtrack starts here, after the bank, as on Linux.
extern "C" EMSCRIPTEN_KEEPALIVE void start_show()
{
    g_quit = 0;
    g_keys = nullptr;
    g_show_over = false;
    std::memset(g_spectrum, 0, sizeof g_spectrum);
    watch_stop_signals();
    start_music(k_soundtrack_path);
    emscripten_set_main_loop(pass, 0, 0);
}

static void files_ready()
{
    load_textures();
    tell_page_ready();
}

int main()
{
    init_display(1024, 768);
    init_gl_state();
    fetch_show_files(true, files_ready);
    return 0;
}
