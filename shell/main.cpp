// The show's entry point: start-up, the show, and shutdown in the order audio, textures, window.
#include <cstdlib>

#include <SDL/SDL.h>

#include "assets/soundtrack_file.h"
#include "assets/texture_bank.h"
#include "audio/music.h"
#include "shell/display.h"
#include "shell/main_loop.h"
#include "shell/stop_signals.h"

int main(int, char**)
{
    // SIGTERM and SIGINT stop the show through its ordinary shutdown, whatever state it is in
    watch_stop_signals();

    // start-up: no step's failure stops the next one
    init_display(1024, 768);
    init_gl_state();
    load_textures();
    start_music(k_soundtrack_path);

    // the show
    run_main_loop();

    // shutdown: SDL closes the window when the process exits, after the textures are gone
    stop_music();
    free_textures();
    return std::atexit(SDL_Quit);
}
