// The error box on Linux: stderr always, and SDL2's simple message box where a display is reachable.
#include "platform/message_box.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>

// sdl12-compat runs on SDL2 but hides its message box, so we reach it in the same
// library that sdl12-compat has loaded. SDL2 shows the box in a child process and
// waits for it, which keeps it clear of the show's own X connection.
typedef int (*show_simple_message_box_fn)(std::uint32_t flags, const char* title, const char* message, void* window);
typedef const char* (*get_error_fn)();

static const std::uint32_t k_sdl2_messagebox_warning = 0x20;

static volatile std::sig_atomic_t g_boxes_closed = 0;

// SDL2 shows a box in a process it forks from the thread that asked (the program's main thread,
// whose id is the process id), and waits for it: ending that process ends the call. The kernel
// lists a thread's children in /proc; open, read, kill and close are async-signal-safe.
static void end_box_processes()
{
    char path[64] = "/proc/self/task/";
    char digits[16];
    int n = 0;
    for (pid_t id = getpid(); id > 0; id /= 10) digits[n++] = static_cast<char>('0' + id % 10);
    int at = 16;
    while (n > 0) path[at++] = digits[--n];
    const char tail[] = "/children";
    for (const char* c = tail; *c; ++c) path[at++] = *c;
    path[at] = '\0';

    int fd = open(path, O_RDONLY);
    if (fd < 0) return;
    char list[512];
    ssize_t got = read(fd, list, sizeof list - 1);
    close(fd);
    pid_t child = 0;
    for (ssize_t i = 0; i < got; ++i) {
        if (list[i] >= '0' && list[i] <= '9') {
            child = child * 10 + (list[i] - '0');
        } else {
            if (child > 0) kill(child, SIGKILL);
            child = 0;
        }
    }
}

void close_error_boxes()
{
    g_boxes_closed = 1;
    end_box_processes();
}

int MessageBoxA(HWND, const char* text, const char* caption, unsigned int)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (g_boxes_closed) return IDOK;

    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!sdl2) return IDOK;
    show_simple_message_box_fn show_box =
        reinterpret_cast<show_simple_message_box_fn>(dlsym(sdl2, "SDL_ShowSimpleMessageBox"));
    get_error_fn get_error = reinterpret_cast<get_error_fn>(dlsym(sdl2, "SDL_GetError"));
    // a display without a core X font, for one, gets no box; say why, since nothing else will
    if (show_box && show_box(k_sdl2_messagebox_warning, caption, text, nullptr) < 0 && get_error && !g_boxes_closed) {
        std::fprintf(stderr, "(the box could not be shown: %s)\n", get_error());
        std::fflush(stderr);
    }
    dlclose(sdl2);
    return IDOK;
}
