// Test tool: where the show's picture lies on the X screen, and whether the screen is a given frame.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/common/image_io.h"

static const char k_usage[] =
    "usage: screen_frame box\n"
    "       screen_frame same-as FRAME.png\n"
    "  box: prints 'X Y W H', the smallest rectangle of $DISPLAY's screen that holds every\n"
    "  pixel brighter than near-black (nothing: '0 0 0 0').\n"
    "  same-as: prints how many pixels of the screen differ from FRAME.png (same size), and the\n"
    "  largest difference of a channel: 'DIFFERENT MAXDIFF'.\n";

struct screen {
    Display* display = nullptr;
    XImage* image = nullptr;
    int width = 0, height = 0;
};

static bool grab_screen(screen& s)
{
    s.display = XOpenDisplay(nullptr);
    if (!s.display) return false;
    Window root = DefaultRootWindow(s.display);
    XWindowAttributes attributes;
    XGetWindowAttributes(s.display, root, &attributes);
    s.width = attributes.width;
    s.height = attributes.height;
    s.image = XGetImage(s.display, root, 0, 0, s.width, s.height, AllPlanes, ZPixmap);
    return s.image != nullptr;
}

static void pixel_at(const screen& s, int x, int y, int rgb[3])
{
    unsigned long pixel = XGetPixel(s.image, x, y);
    const unsigned long masks[3] = {s.image->red_mask, s.image->green_mask, s.image->blue_mask};
    for (int c = 0; c < 3; ++c) rgb[c] = int((pixel & masks[c]) >> __builtin_ctzl(masks[c]));
}

static int print_box(const screen& s)
{
    int left = s.width, top = s.height, right = -1, bottom = -1;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            int rgb[3];
            pixel_at(s, x, y, rgb);
            // the bars are cleared to black; scaling blurs the picture's edge by a pixel at most
            if (rgb[0] + rgb[1] + rgb[2] <= 24) continue;
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < top) top = y;
            if (y > bottom) bottom = y;
        }
    }
    if (right < 0) std::printf("0 0 0 0\n");
    else std::printf("%d %d %d %d\n", left, top, right - left + 1, bottom - top + 1);
    return 0;
}

static int print_difference(const screen& s, const std::string& path)
{
    decoded_image frame = read_image_file(path);
    if (!frame.ok) {
        std::fprintf(stderr, "screen_frame: cannot read %s: %s\n", path.c_str(), frame.error.c_str());
        return 1;
    }
    if (frame.image.width != s.width || frame.image.height != s.height) {
        std::fprintf(stderr, "screen_frame: %s is %dx%d, the screen %dx%d\n", path.c_str(), frame.image.width,
                     frame.image.height, s.width, s.height);
        return 1;
    }
    long different = 0;
    int largest = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            int rgb[3];
            pixel_at(s, x, y, rgb);
            const unsigned char* want = &frame.image.pixels[(size_t(y) * s.width + x) * 4];
            int worst = 0;
            for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(rgb[c] - int(want[c])));
            different += worst != 0;
            largest = std::max(largest, worst);
        }
    }
    std::printf("%ld %d\n", different, largest);
    return 0;
}

int main(int argc, char** argv)
{
    bool box = argc == 2 && std::strcmp(argv[1], "box") == 0;
    bool same_as = argc == 3 && std::strcmp(argv[1], "same-as") == 0;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s", k_usage);
        return 0;
    }
    if (!box && !same_as) {
        std::fprintf(stderr, "screen_frame: expected 'box' or 'same-as FRAME.png' (see --help)\n");
        return 2;
    }
    screen s;
    if (!grab_screen(s)) {
        std::fprintf(stderr, "screen_frame: cannot read the screen of the display\n");
        return 1;
    }
    int status = box ? print_box(s) : print_difference(s, argv[2]);
    XDestroyImage(s.image);
    XCloseDisplay(s.display);
    return status;
}
