// Captures the show's real window at chosen show times and lays the frames out in a contact sheet.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "assets/texture_bank.h"
#include "audio/music.h"
#include "shell/display.h"
#include "show/timeline.h"
#include "tools/capture/capture_clock.h"
#include "tools/capture/frame_sheet.h"
#include "tools/common/image_io.h"
#include "tools/common/swap_hook.h"

static const char* k_usage =
    "usage: vellamor-capture [--times T1,T2,...] [--out SHEET.png] [--frames DIR]\n"
    "                        [--columns N] [--shrink N] [--spectrum V6,V7]\n"
    "Draws the show at each show time in its real 1024x768 window, from the folder that holds\n"
    "data/, and writes a contact sheet of the frames (and each frame, with --frames).\n"
    "The spectrum values 6 and 7 (how far the model jumps) default to 0: the model at rest.\n";

struct capture_options {
    std::vector<float> times{5, 12, 20, 30, 40, 50, 70, 82};
    std::string out = "docs/show.png";
    std::string frames_dir;
    int columns = 4;
    int shrink = 4;
    float spectrum6 = 0, spectrum7 = 0;
};

static bool parse_list(const char* text, std::vector<float>& values)
{
    values.clear();
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        char* end = nullptr;
        float v = std::strtof(item.c_str(), &end);
        if (item.empty() || *end) return false;
        values.push_back(v);
    }
    return !values.empty();
}

static bool parse_options(int argc, char** argv, capture_options& o)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::vector<float> pair;
        if (arg == "--help") {
            std::fputs(k_usage, stdout);
            std::exit(0);
        } else if (arg == "--times" && value && parse_list(value, o.times)) {
        } else if (arg == "--out" && value) {
            o.out = value;
        } else if (arg == "--frames" && value) {
            o.frames_dir = value;
        } else if (arg == "--columns" && value && std::atoi(value) > 0) {
            o.columns = std::atoi(value);
        } else if (arg == "--shrink" && value && std::atoi(value) > 0) {
            o.shrink = std::atoi(value);
        } else if (arg == "--spectrum" && value && parse_list(value, pair) && pair.size() == 2) {
            o.spectrum6 = pair[0];
            o.spectrum7 = pair[1];
        } else {
            std::fprintf(stderr, "vellamor-capture: bad option '%s'\n%s", arg.c_str(), k_usage);
            return false;
        }
        ++i;
    }
    return true;
}

// What the frame presented: the back buffer just before the swap.
static frame_image read_frame(float t)
{
    frame_image f{1024, 768, std::vector<unsigned char>(1024 * 768 * 3), ""};
    std::vector<unsigned char> upside_down(f.rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, upside_down.data());
    for (int y = 0; y < 768; ++y) {
        std::memcpy(&f.rgb[y * 1024 * 3], &upside_down[(767 - y) * 1024 * 3], 1024 * 3);
    }
    char label[32];
    std::snprintf(label, sizeof label, "t%05.1f", static_cast<double>(t));
    f.label = label;
    return f;
}

static frame_image g_last_frame;
static float g_frame_time = 0;

static bool write_frame(const std::string& path, const frame_image& frame)
{
    return write_png(path, frame.width, frame.height, 3, frame.rgb.data());
}

// Keeps each frame as it is presented.
void on_frame_presented()
{
    g_last_frame = read_frame(g_frame_time);
}

int main(int argc, char** argv)
{
    capture_options o;
    if (!parse_options(argc, argv, o)) return 2;
    if (!init_display(1024, 768)) return 1;
    init_gl_state();
    load_textures();

    std::vector<frame_image> frames;
    for (float t : o.times) {
        // the model scene reads the spectrum fetched after the previous frame
        g_spectrum[6] = o.spectrum6;
        g_spectrum[7] = o.spectrum7;
        set_capture_time(t);
        g_frame_time = t;
        g_show_over = false;
        render_frame();
        frames.push_back(g_last_frame);
        if (!o.frames_dir.empty()) {
            std::string path = o.frames_dir + "/" + g_last_frame.label + ".png";
            if (!write_frame(path, g_last_frame)) {
                std::fprintf(stderr, "vellamor-capture: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }

    free_textures();
    SDL_Quit();
    if (!write_frame(o.out, make_sheet(frames, o.columns, o.shrink))) {
        std::fprintf(stderr, "vellamor-capture: cannot write %s\n", o.out.c_str());
        return 1;
    }
    std::printf("wrote %s (%zu frames)\n", o.out.c_str(), frames.size());
    return 0;
}
