// The error box on Linux: stderr always, and SDL2's simple message box where a display is reachable.
#include "platform/message_box.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>

// sdl12-compat runs on SDL2 but hides its message box, so we reach it in the same
// library that sdl12-compat has loaded. SDL2 shows the box in a child process and
// waits for it, which keeps it clear of the show's own X connection.
typedef int (*show_simple_message_box_fn)(std::uint32_t flags, const char* title,
                                          const char* message, void* window);
typedef const char* (*get_error_fn)();

static const std::uint32_t k_sdl2_messagebox_warning = 0x20;

int MessageBoxA(HWND, const char* text, const char* caption, unsigned int)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);

    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!sdl2) return IDOK;
    show_simple_message_box_fn show_box =
        reinterpret_cast<show_simple_message_box_fn>(dlsym(sdl2, "SDL_ShowSimpleMessageBox"));
    get_error_fn get_error = reinterpret_cast<get_error_fn>(dlsym(sdl2, "SDL_GetError"));
    // a display without a core X font, for one, gets no box; say why, since nothing else will
    if (show_box && show_box(k_sdl2_messagebox_warning, caption, text, nullptr) < 0 && get_error) {
        std::fprintf(stderr, "(the box could not be shown: %s)\n", get_error());
        std::fflush(stderr);
    }
    dlclose(sdl2);
    return IDOK;
}
