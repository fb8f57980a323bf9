// Test stand-ins for every step main calls: each prints its name, so a run shows the show's
// start-up and shutdown order. LIFECYCLE_DISPLAY_FAILS=1 makes the window fail to open.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/texture_bank.h"
#include "audio/music.h"
#include "shell/display.h"
#include "shell/main_loop.h"
#include "shell/stop_signals.h"

static void step(const char* name)
{
    std::printf("%s\n", name);
    std::fflush(stdout);
}

void watch_stop_signals()
{
    step("watch_stop_signals");
}

bool init_display(int width, int height)
{
    std::printf("init_display %d %d\n", width, height);
    const char* fails = std::getenv("LIFECYCLE_DISPLAY_FAILS");
    return !(fails && std::strcmp(fails, "1") == 0);
}

bool init_gl_state()
{
    step("init_gl_state");
    return true;
}
bool load_textures()
{
    step("load_textures");
    return true;
}
bool free_textures()
{
    step("free_textures");
    return true;
}
void start_music(const char* path)
{
    std::printf("start_music %s\n", path);
}
bool run_main_loop()
{
    step("run_main_loop");
    return true;
}
void stop_music()
{
    step("stop_music");
}

// SDL's own shutdown, registered by main to run at exit
extern "C" void SDL_Quit()
{
    step("SDL_Quit");
}
