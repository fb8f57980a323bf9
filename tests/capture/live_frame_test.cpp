// The capture's frames against the live code path, pixel for pixel: the show's own window on the
// test's X server, its clock standing at the frame time and its spectrum fetched by the show's
// fetch_spectrum from the soundtrack stream standing where the previous frame was heard. The
// capture runs with no display at all.
#include <SDL/SDL.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "assets/soundtrack_file.h"
#include "assets/texture_bank.h"
#include "audio/music.h"
#include "platform/bass.h"
#include "show/timeline.h"
#include "tests/capture/capture_run.h"
#include "tests/support/gl_window.h"
#include "tests/support/settable_clock.h"
#include "tests/support/shipped_data.h"
#include "tools/common/swap_hook.h"

static std::vector<unsigned char> g_live(1024 * 768 * 3);
static bool g_window_open = false;

// Keeps what the live frame presents (rows from the top), before the real swap.
void on_frame_presented()
{
    std::vector<unsigned char> rows(g_live.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < 768; ++y) std::memcpy(&g_live[y * 1024 * 3], &rows[(767 - y) * 1024 * 3], 1024 * 3);
}

class capture_against_live : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(chdir(repository_root().c_str()), 0);
        g_window_open = open_show_window();
        if (!g_window_open) return;
        load_textures();
        // the show's own stream, on the layer's silent device; never played, it stands where it is put
        BASS_Init(0, 44100, 0, nullptr, nullptr);
        g_music = BASS_StreamCreateFile(FALSE, k_soundtrack_path, 0, 0, BASS_STREAM_PRESCAN);
    }
    void SetUp() override
    {
        ASSERT_TRUE(g_window_open) << "the live path needs the test's X display";
        ASSERT_NE(g_music, 0u);
    }
};

// The live show's frame at t (a time on a whole sample): the spectrum is fetched where the frame
// before, 1/60 s = 735 samples earlier, was heard, then the frame is drawn.
static const std::vector<unsigned char>& live_frame(float t)
{
    long long heard = std::llround(static_cast<double>(t) * 44100.0) - 735;
    BASS_ChannelSetPosition(g_music, static_cast<QWORD>(heard) * 4);
    fetch_spectrum(g_spectrum);
    set_show_time(t);
    g_show_over = false;
    render_frame();
    return g_live;
}

static long differing_pixels(const png_pixels& captured, const std::vector<unsigned char>& live)
{
    long count = 0;
    for (std::size_t i = 0; i < live.size(); i += 3) count += std::memcmp(&captured.rgb[i], &live[i], 3) != 0;
    return count;
}

// Title strips, a picture, the model on and off the beat with two billboards; 30 s is drawn
// first and again last, after other scenes, and must come out the same both times.
TEST_F(capture_against_live, every_chosen_time_matches_pixel_for_pixel)
{
    std::string dir = scratch_folder("live");
    ASSERT_EQ(run_capture("--times 30,3,12,40.4,50,30 --frames '" + dir + "' --out '" + dir + "/sheet.png'"), 0);
    const char* names[] = {"t003.0", "t012.0", "t030.0", "t040.4", "t050.0"};
    const float times[] = {3.0f, 12.0f, 30.0f, 40.4f, 50.0f};
    for (int i = 0; i < 5; ++i) {
        png_pixels captured = read_png(dir + "/" + names[i] + ".png");
        ASSERT_EQ(captured.width, 1024) << names[i];
        ASSERT_EQ(captured.height, 768) << names[i];
        EXPECT_EQ(differing_pixels(captured, live_frame(times[i])), 0) << "at " << times[i] << " s";
    }
}

// The first frame of a span is the live frame at --from, spectrum included (at one sample a pixel:
// a span is supersampled by default).
TEST_F(capture_against_live, first_frame_of_a_span_matches)
{
    std::string dir = scratch_folder("span");
    ASSERT_EQ(run_capture("--frames '" + dir + "' --from 40.4 --to 40.41 --supersample 1"), 0);
    png_pixels captured = read_png(frame_file(dir, 0));
    ASSERT_EQ(captured.width, 1024);
    EXPECT_EQ(differing_pixels(captured, live_frame(40.4f)), 0);
    EXPECT_TRUE(read_png(frame_file(dir, 1)).rgb.empty()) << "0.01 s at 60 fps is one frame";
}

// A wider frame is pillarboxed, a taller one letterboxed: black bars, the picture in between
// reaching both of its edges.
TEST_F(capture_against_live, other_sizes_keep_the_picture_in_a_four_by_three_box)
{
    struct box_case {
        int w, h, x, y, bw, bh;
    } cases[] = {
        {1920, 1080, 240, 0, 1440, 1080},  // pillarbox
        {800, 800, 0, 100, 800, 600},      // letterbox
    };
    for (const box_case& c : cases) {
        std::string dir = scratch_folder("size");
        std::string size = std::to_string(c.w) + "x" + std::to_string(c.h);
        ASSERT_EQ(run_capture("--times 12 --size " + size + " --frames '" + dir + "' --out '" + dir + "/s.png'"), 0);
        png_pixels f = read_png(dir + "/t012.0.png");
        ASSERT_EQ(f.width, c.w);
        ASSERT_EQ(f.height, c.h);
        long bar_lit = 0, edge_lit[4] = {0, 0, 0, 0};
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const unsigned char* p = &f.rgb[(static_cast<std::size_t>(y) * c.w + x) * 3];
                bool lit = p[0] | p[1] | p[2];
                bool inside = x >= c.x && x < c.x + c.bw && y >= c.y && y < c.y + c.bh;
                if (!inside) bar_lit += lit;
                if (!inside || !lit) continue;
                edge_lit[0] += x == c.x;
                edge_lit[1] += x == c.x + c.bw - 1;
                edge_lit[2] += y == c.y;
                edge_lit[3] += y == c.y + c.bh - 1;
            }
        }
        EXPECT_EQ(bar_lit, 0) << size << ": the bars are black";
        for (long edge : edge_lit) EXPECT_GT(edge, 0) << size << ": the picture fills its box";
    }
}
