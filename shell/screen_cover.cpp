// Puts the show's fullscreen window over the whole screen where no window manager does.
//
// SDL asks the window manager to make the window fullscreen and from then on draws as if it
// were: the 1024x768 frame scaled into the screen's size with bars. On a bare X server nobody
// answers that request, and the window stays 1024x768, centred, so the scaled picture lands
// shifted and cropped. Doing here what the window manager would keeps the two in step.
#include "shell/screen_cover.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>

bool cover_screen(int screen_width, int screen_height)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) return false;
    Display* display = info.info.x11.display;
    Window window = info.info.x11.window;

    if (info.info.x11.lock_func) info.info.x11.lock_func();
    XWindowAttributes now;
    bool found = XGetWindowAttributes(display, window, &now) != 0;
    if (found) {
        // SDL centres the window on the screen it chose, so that screen shares the window's centre
        Window child;
        int x = 0, y = 0;
        XTranslateCoordinates(display, window, now.root, 0, 0, &x, &y, &child);
        int left = x + (now.width - screen_width) / 2;
        int top = y + (now.height - screen_height) / 2;
        XMoveResizeWindow(display, window, left, top, unsigned(screen_width), unsigned(screen_height));
        XSync(display, False);
    }
    if (info.info.x11.unlock_func) info.info.x11.unlock_func();
    return found;
}
