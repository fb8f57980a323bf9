// The frame loop: events, one frame, the spectrum, the caption and the quit conditions.
#include "shell/main_loop.h"

#include <cstdio>

#include "audio/music.h"
#include "shell/stop_signals.h"
#include "show/timeline.h"

int g_quit = 0;
Uint8* g_keys = nullptr;
char g_caption[80];

void run_pass()
{
    // drain the events; every event refreshes the keyboard state
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) g_quit = 1;
        g_keys = SDL_GetKeyState(nullptr);
    }
    // the system asking the show to quit (SIGTERM, SIGINT; on a page, leaving fullscreen), as SDL_QUIT is
    if (stop_signal_received()) g_quit = 1;

    // draw and present the frame; false once the show is over
    if (!render_frame()) g_quit = 1;

    // the spectrum the next frame will see
    fetch_spectrum(g_spectrum);

    // the caption's time is a reading of its own, after the frame
    float t = music_time();
    std::snprintf(g_caption, sizeof g_caption, "Ostravelle 2008 - Vellamor                              Time:  %f",
                  static_cast<double>(t));
    SDL_WM_SetCaption(g_caption, nullptr);

    // Escape is tested as held at the end of the pass; with no event yet there is no state
    if (g_keys && g_keys[SDLK_ESCAPE]) g_quit = 1;
}

bool run_main_loop()
{
    while (!g_quit) run_pass();
    return true;
}
