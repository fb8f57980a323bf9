// Test support: the show's real window and GL state on the test's X server, and pixel read-back.
#include "tests/support/gl_window.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/display.h"

bool open_show_window()
{
    if (!init_display(1024, 768)) return false;
    init_gl_state();
    return true;
}

// The default read buffer is the one the show draws into: the back buffer of a double-buffered
// window, or the colour attachment where sdl12-compat renders into a framebuffer object of its own.
rgb read_pixel(int x, int y)
{
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, 767 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return rgb{p[0], p[1], p[2]};
}

bool near_colour(rgb a, rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

void save_screen_ppm(const std::string& path)
{
    std::vector<unsigned char> pixels(1024 * 768 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n1024 768\n255\n");
    for (int row = 767; row >= 0; --row) std::fwrite(&pixels[row * 1024 * 3], 1, 1024 * 3, f);
    std::fclose(f);
}
