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

static const std::uint32_t k_sdl2_messagebox_warning = 0x20;

int MessageBoxA(HWND, const char* text, const char* caption, unsigned int)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);

    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!sdl2) return IDOK;
    show_simple_message_box_fn show_box =
        reinterpret_cast<show_simple_message_box_fn>(dlsym(sdl2, "SDL_ShowSimpleMessageBox"));
    if (show_box) show_box(k_sdl2_messagebox_warning, caption, text, nullptr);
    dlclose(sdl2);
    return IDOK;
}
