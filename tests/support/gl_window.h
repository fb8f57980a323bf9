// Test support: the show's real window and GL state on the test's X server, and pixel read-back.
#pragma once

#include <cstdint>
#include <string>

struct rgb {
    int r, g, b;
};

// Opens the show's 1024x768 window with init_display and sets init_gl_state; false without a display.
bool open_show_window();

// Reads a pixel of the frame being drawn at (x, y), y counted from the top of the screen.
rgb read_pixel(int x, int y);

// True when every channel of a is within tolerance of b.
bool near_colour(rgb a, rgb b, int tolerance = 24);

// Writes the frame being drawn (1024x768) as a binary PPM, for looking at a failure.
void save_screen_ppm(const std::string& path);
