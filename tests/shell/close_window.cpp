// Test helper: asks an X window to close the way a window manager does (WM_DELETE_WINDOW).
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int usage(FILE* out, int status)
{
    std::fprintf(out,
                 "usage: close_window WINDOW_ID\n"
                 "Sends WM_PROTOCOLS/WM_DELETE_WINDOW to the window (decimal or 0x hex id)\n"
                 "on $DISPLAY, as a window manager does when the user closes it.\n");
    return status;
}

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        return usage(stdout, 0);
    }
    if (argc != 2) return usage(stderr, 2);

    char* end = nullptr;
    unsigned long window = std::strtoul(argv[1], &end, 0);
    if (!end || *end != '\0' || window == 0) {
        std::fprintf(stderr, "close_window: not a window id: %s\n", argv[1]);
        return 2;
    }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "close_window: cannot open the display\n");
        return 1;
    }

    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;

    Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    if (!sent) {
        std::fprintf(stderr, "close_window: could not send to window %s\n", argv[1]);
        return 1;
    }
    return 0;
}
