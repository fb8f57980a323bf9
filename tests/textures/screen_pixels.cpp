// Test tool: prints the colours of points of the X screen, as a viewer sees the show there.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: screen_pixels X,Y [X,Y ...]\n"
                    "  Prints 'R G B' (0-255) of each point of $DISPLAY's root window, one a line,\n"
                    "  all read from one capture of the screen.\n");
        return argc < 2 ? 2 : 0;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_pixels: cannot open the display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "screen_pixels: cannot read the screen\n");
        return 1;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        int x = -1, y = -1;
        if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2 || x < 0 || y < 0 || x >= attributes.width ||
            y >= attributes.height) {
            std::fprintf(stderr, "screen_pixels: not a point on the screen: %s\n", argv[i]);
            status = 2;
            break;
        }
        unsigned long pixel = XGetPixel(image, x, y);
        std::printf("%lu %lu %lu\n", (pixel & image->red_mask) >> __builtin_ctzl(image->red_mask),
                    (pixel & image->green_mask) >> __builtin_ctzl(image->green_mask),
                    (pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    return status;
}
