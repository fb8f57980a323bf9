// Render checks of the show's frames: the real window and GL, the bank filled with known
// solid-colour textures, a clock the test sets, and where things land on screen.
#include "tests/timeline/render_fixture.h"

#include <cmath>
#include <vector>

#include "assets/texture_bank.h"
#include "audio/music.h"
#include "show/timeline.h"
#include "tests/support/settable_clock.h"
#include "tools/common/swap_hook.h"

static bool g_window_open = false;
static int g_swaps = 0;
static std::vector<unsigned char> g_presented(1024 * 768 * 4);

// Keeps what the frame presents. Reading the frame before the swap does not depend on how the
// driver keeps its front buffer.
void on_frame_presented()
{
    ++g_swaps;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, g_presented.data());
}

int presented_frames()
{
    return g_swaps;
}

const std::vector<unsigned char>& presented_frame()
{
    return g_presented;
}

void show_render::SetUpTestSuite()
{
    if (!g_window_open) g_window_open = open_show_window();
}

void show_render::SetUp()
{
    ASSERT_TRUE(g_window_open) << "no window: these checks need an X display";
    glEnable(GL_TEXTURE_2D);
    fill_bank_with_solid_colours();
    for (float& v : g_spectrum) v = 0.0f;
    g_show_over = false;
}

GLuint make_texture(int w, int h, const unsigned char* rgba)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return name;
}

GLuint make_solid_texture(rgb c)
{
    std::vector<unsigned char> p;
    for (int i = 0; i < 4; ++i) {
        p.push_back(static_cast<unsigned char>(c.r));
        p.push_back(static_cast<unsigned char>(c.g));
        p.push_back(static_cast<unsigned char>(c.b));
        p.push_back(255);
    }
    return make_texture(2, 2, p.data());
}

static int slot_index(const GLuint* slot)
{
    for (int i = 0; i < k_texture_count; ++i) {
        if (g_texture_table[i].slot == slot) return i;
    }
    return -1;
}

// Far from white, black and each other: four levels per channel, away from the extremes.
rgb bank_colour(const GLuint* slot)
{
    static const int levels[4] = {40, 100, 160, 220};
    int i = slot_index(slot) + 1;
    return rgb{levels[i % 4], levels[(i / 4) % 4], levels[(i / 16) % 4]};
}

void fill_bank_with_solid_colours()
{
    for (const texture_entry& entry : g_texture_table) {
        if (*entry.slot) glDeleteTextures(1, entry.slot);
        *entry.slot = make_solid_texture(bank_colour(entry.slot));
    }
}

void show_frame_at(float t)
{
    set_show_time(t);
    g_show_over = false;
    render_frame();
}

rgb shown(int x, int y)
{
    const unsigned char* p = &g_presented[((767 - y) * 1024 + x) * 4];
    return rgb{p[0], p[1], p[2]};
}

static const double k_half_fov = 22.5 * M_PI / 180.0;

int screen_x(float x, float z)
{
    double half_width = -z * std::tan(k_half_fov) * 1024.0 / 768.0;
    return static_cast<int>(std::lround(512.0 + x / half_width * 512.0));
}

int screen_y(float y, float z)
{
    double half_height = -z * std::tan(k_half_fov);
    return static_cast<int>(std::lround(384.0 - y / half_height * 384.0));
}

float time_at(double bound)
{
    float f = static_cast<float>(bound);
    if (static_cast<double>(f) < bound) f = std::nextafter(f, INFINITY);
    return f;
}

float time_before(double bound)
{
    return std::nextafter(time_at(bound), -INFINITY);
}
