// Test support for the texture bank: a window per process, a scratch data folder, screen geometry.
#include "tests/textures/bank_fixture.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "assets/texture_bank.h"
#include "show/quad.h"
#include "tests/support/gl_window.h"
#include "tests/support/temp_dir.h"

static bool g_window_open = false;

bool open_window_once()
{
    if (!g_window_open) g_window_open = open_show_window();
    return g_window_open;
}

std::string make_scratch_root()
{
    std::string root = make_temp_dir("textures");
    if (!root.empty()) std::filesystem::create_directory(root + "/data");
    return root;
}

void remove_scratch_root(const std::string& root)
{
    // only ever a folder this fixture made
    if (root.find("/vl-textures-") != std::string::npos) remove_dir(root);
}

std::string enter_folder(const std::string& folder)
{
    std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(folder);
    return previous;
}

std::vector<GLuint> bank_names()
{
    std::vector<GLuint> names;
    for (const texture_entry& entry : g_texture_table) names.push_back(*entry.slot);
    return names;
}

int live_texture_count(GLuint up_to)
{
    int count = 0;
    for (GLuint name = 1; name <= up_to; ++name) {
        if (glIsTexture(name)) ++count;
    }
    return count;
}

screen_point project(float x, float y, float depth)
{
    // the show's projection: 45 degrees vertically, 4:3, on a 1024x768 viewport
    double half_height = depth * std::tan(22.5 * M_PI / 180.0);
    double half_width = half_height * 1024.0 / 768.0;
    return screen_point{static_cast<int>(std::lround(512.0 + x / half_width * 512.0)),
                        static_cast<int>(std::lround(384.0 - y / half_height * 384.0))};
}

void draw_placed_quad(GLuint texture, float h, float depth, float clear_r, float clear_g, float clear_b)
{
    glClearColor(clear_r, clear_g, clear_b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -depth);
    draw_quad(texture, h);
    glFinish();
}

rgb screen_colour(int x, int y)
{
    rgb colour = read_pixel(x, y);
    glGetError();
    return colour;
}

std::string output_of(void (*call)())
{
    std::fflush(stdout);
    std::fflush(stderr);
    char path[] = "/tmp/vl-textures-output-XXXXXX";
    int file = mkstemp(path);
    if (file < 0) return "(could not capture output)";
    int saved_out = dup(1);
    int saved_err = dup(2);
    dup2(file, 1);
    dup2(file, 2);
    call();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(saved_out, 1);
    dup2(saved_err, 2);
    close(saved_out);
    close(saved_err);
    close(file);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path);
    return text.str();
}
