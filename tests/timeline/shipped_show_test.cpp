// The timeline with the shipped pictures on real GL: what the audience sees at key show times.
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "assets/texture_bank.h"
#include "audio/music.h"
#include "show/quad.h"
#include "show/show_times.h"
#include "show/timeline.h"
#include "tests/support/gl_window.h"
#include "tests/support/shipped_data.h"
#include "tests/timeline/render_fixture.h"

typedef std::vector<unsigned char> frame;

class shipped_show : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        if (!open_show_window()) return;
        if (chdir(repository_root().c_str()) != 0) return;
        load_textures();
        g_loaded = true;
    }
    void SetUp() override
    {
        ASSERT_TRUE(g_loaded) << "no window: these checks need an X display";
        for (float& v : g_spectrum) v = 0.0f;
    }
    static bool g_loaded;
};
bool shipped_show::g_loaded = false;

static frame frame_at(float t)
{
    show_frame_at(t);
    return presented_frame();
}

// A picture on black, drawn by hand the way the slideshow places it.
static frame picture_alone(GLuint texture)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glTranslatef(0, 0, -1.8f);
    draw_quad(texture, 1.0f);
    SDL_GL_SwapBuffers();
    return presented_frame();
}

static bool white_at(const frame& f, int x, int y)
{
    const unsigned char* p = &f[((767 - y) * 1024 + x) * 4];
    return p[0] > 245 && p[1] > 245 && p[2] > 245;
}

// Pixels that differ between two frames inside and outside a band of screen rows [top, bottom).
static void count_differences(const frame& a, const frame& b, int top, int bottom, int& inside, int& outside)
{
    inside = outside = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            size_t i = ((767 - y) * 1024 + x) * 4;
            bool differs = std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 24;
            if (!differs) continue;
            (y >= top && y < bottom ? inside : outside)++;
        }
    }
}

// The lowest screen row holding a non-white pixel.
static int lowest_ink(const frame& f)
{
    for (int y = 767; y >= 0; --y) {
        for (int x = 0; x < 1024; x += 2) {
            if (!white_at(f, x, y)) return y;
        }
    }
    return -1;
}

TEST_F(shipped_show, the_title_strips_scroll_over_white)
{
    int strip_top = screen_y(0.1f + 0.125f, -1.4f), strip_bottom = screen_y(-0.1f - 0.125f, -1.4f);

    // at 0 s only the strips' inner ends reach in: everything above and below their band is white
    frame start = frame_at(0.0f);
    for (int x = 0; x < 1024; x += 7) {
        EXPECT_TRUE(white_at(start, x, strip_top - 3));
        EXPECT_TRUE(white_at(start, x, strip_bottom + 3));
    }
    EXPECT_TRUE(white_at(start, 512, 384)) << "the strips' inner ends stop short of the middle";

    // at 3 s both are centred: their lettering is on screen within the band, and only there
    frame centred = frame_at(3.0f);
    int inside = 0, outside = 0;
    count_differences(start, centred, strip_top, strip_bottom, inside, outside);
    EXPECT_GT(inside, 2000);
    EXPECT_EQ(outside, 0);
}

TEST_F(shipped_show, the_title_card_appears_at_6_35_and_slides_down_from_10_9)
{
    frame before = frame_at(time_before(k_title_card_at)), card = frame_at(time_at(k_title_card_at));
    int inside = 0, outside = 0;
    count_differences(before, card, 0, screen_y(0.1f - 0.5f, -1.4f) + 1, inside, outside);
    EXPECT_GT(inside, 5000) << "the card shows";
    EXPECT_EQ(outside, 0) << "nothing below the card changes";

    // a tenth of a second after 10.9 s the card stands 0.1 lower
    int shift = screen_y(-0.1f, -1.4f) - screen_y(0.0f, -1.4f);
    int low_at_start = lowest_ink(frame_at(time_at(k_title_card_slides_at))), low_later = lowest_ink(frame_at(11.0f));
    ASSERT_GT(low_at_start, 0);
    EXPECT_NEAR(low_later - low_at_start, shift, 3);
}

TEST_F(shipped_show, slides_show_their_picture_alone)
{
    struct case_t {
        float t;
        GLuint* texture;
    };
    for (case_t c : {case_t{12.0f, &g_tex_bilde01}, case_t{28.0f, &g_tex_bilde17}, case_t{28.5f, &g_tex_bilde01},
                     case_t{29.0f, &g_tex_bilde01}}) {
        SCOPED_TRACE(c.t);
        frame shown_frame = frame_at(c.t);
        EXPECT_TRUE(shown_frame == picture_alone(*c.texture));
    }
}

// Each card stands over whatever the model scene drew: the frame differs from the scene alone
// only within the card's rows.
TEST_F(shipped_show, the_cards_at_30_and_50_seconds_stand_over_the_model_scene)
{
    struct case_t {
        float t;
        GLuint* texture;
        float y, z;
    };
    for (case_t c : {case_t{30.0f, &g_tex_rosamelt, 0.1f, -1.4f}, case_t{50.0f, &g_tex_gaming, 0.0f, -2.4f}}) {
        SCOPED_TRACE(c.t);
        frame with_card = frame_at(c.t);
        GLuint card = *c.texture;
        GLuint transparent = make_texture(1, 1, std::vector<unsigned char>{0, 0, 0, 0}.data());
        *c.texture = transparent;
        frame scene_alone = frame_at(c.t);
        *c.texture = card;
        glDeleteTextures(1, &transparent);

        int inside = 0, outside = 0;
        count_differences(with_card, scene_alone, std::max(0, screen_y(c.y + 0.5f, c.z)),
                          screen_y(c.y - 0.5f, c.z) + 1, inside, outside);
        EXPECT_GT(inside, 5000);
        EXPECT_EQ(outside, 0);
    }
}
