// The model scene on real GL: the spinning backdrop, where the model stands for a given spectrum,
// its sway, and the cards drawn over it with their own texture coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets/scene_mesh.h"
#include "assets/texture_bank.h"
#include "audio/music.h"
#include "show/model_scene.h"
#include "show/timeline.h"
#include "tests/support/settable_clock.h"
#include "tests/timeline/render_fixture.h"

struct screen_box {
    int left = 1024, top = 768, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

static const rgb k_quadrants[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};

// Every card transparent, and a backdrop in four colours: lower left, lower right, upper right,
// upper left of the image.
class model_scene : public show_render {
  protected:
    void SetUp() override
    {
        show_render::SetUp();
        std::vector<unsigned char> clear(4 * 4, 0);
        for (GLuint* card : {&g_tex_rosamelt, &g_tex_zorq1, &g_tex_vexil_credits, &g_tex_gfx_credit,
                             &g_tex_music_credits, &g_tex_gaming}) {
            glDeleteTextures(1, card);
            *card = make_texture(2, 2, clear.data());
        }
        // rows from the bottom: (lower left, lower right), then (upper left, upper right)
        const rgb order[4] = {k_quadrants[0], k_quadrants[1], k_quadrants[3], k_quadrants[2]};
        unsigned char quad[16];
        for (int i = 0; i < 4; ++i) {
            quad[i * 4] = static_cast<unsigned char>(order[i].r);
            quad[i * 4 + 1] = static_cast<unsigned char>(order[i].g);
            quad[i * 4 + 2] = static_cast<unsigned char>(order[i].b);
            quad[i * 4 + 3] = 255;
        }
        glDeleteTextures(1, &g_tex_univers);
        g_tex_univers = make_texture(2, 2, quad);
    }
};

// The model's pixels: the environment texture is one solid colour, so the sphere map shows it.
static screen_box model_on_screen()
{
    rgb model = bank_colour(&g_tex_vuveduruvi);
    screen_box b;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (!near_colour(shown(x, y), model, 8)) continue;
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y);
        }
    }
    return b;
}

// Where the linked mesh lands when its origin stands at (x, y, -4), untilted.
static screen_box model_projected(float x0, float y0)
{
    screen_box b;
    double half_h = std::tan(22.5 * M_PI / 180.0), half_w = half_h * 4.0 / 3.0;
    for (size_t i = 0; i < static_cast<size_t>(g_mesh_vertex_count); ++i) {
        double x = g_mesh_positions[i * 3] + x0, y = g_mesh_positions[i * 3 + 1] + y0;
        double depth = 4.0 - g_mesh_positions[i * 3 + 2];
        int sx = static_cast<int>(std::floor(512.0 + x / (depth * half_w) * 512.0));
        int sy = static_cast<int>(std::floor(384.0 - y / (depth * half_h) * 384.0));
        b.left = std::min(b.left, sx);
        b.right = std::max(b.right, sx);
        b.top = std::min(b.top, sy);
        b.bottom = std::max(b.bottom, sy);
    }
    return b;
}

static void expect_box_near(const screen_box& seen, const screen_box& expected, int tolerance)
{
    EXPECT_NEAR(seen.left, expected.left, tolerance);
    EXPECT_NEAR(seen.top, expected.top, tolerance);
    EXPECT_NEAR(seen.right, expected.right, tolerance);
    EXPECT_NEAR(seen.bottom, expected.bottom, tolerance);
}

static const float k_ten_pi = static_cast<float>(10.0 * M_PI);

// 30 degrees per second from show time 0, counter-clockwise: 900 degrees (half a turn) at 30 s,
// 990 at 33 s, and a whole number of turns at 36 s.
TEST_F(model_scene, the_backdrop_turns_30_degrees_a_second_counter_clockwise)
{
    const int ul[2] = {120, 100}, ur[2] = {904, 100}, ll[2] = {120, 668}, lr[2] = {904, 668};
    show_frame_at(36.0f);
    EXPECT_TRUE(near_colour(shown(ll[0], ll[1]), k_quadrants[0]));
    EXPECT_TRUE(near_colour(shown(lr[0], lr[1]), k_quadrants[1]));
    EXPECT_TRUE(near_colour(shown(ur[0], ur[1]), k_quadrants[2]));
    EXPECT_TRUE(near_colour(shown(ul[0], ul[1]), k_quadrants[3]));

    show_frame_at(30.0f);
    EXPECT_TRUE(near_colour(shown(ur[0], ur[1]), k_quadrants[0]));
    EXPECT_TRUE(near_colour(shown(ul[0], ul[1]), k_quadrants[1]));

    // 990 degrees: three quarters of a turn counter-clockwise carry the image's upper left to
    // the screen's upper right (clockwise they would carry it to the lower left)
    show_frame_at(33.0f);
    EXPECT_TRUE(near_colour(shown(ur[0], ur[1]), k_quadrants[3]));
    EXPECT_TRUE(near_colour(shown(ll[0], ll[1]), k_quadrants[1]));
}

TEST_F(model_scene, with_a_silent_spectrum_the_upright_model_stands_centred_at_depth_4)
{
    show_frame_at(k_ten_pi);
    screen_box seen = model_on_screen();
    ASSERT_FALSE(seen.empty()) << "the model draws";
    expect_box_near(seen, model_projected(0, 0), 3);
}

// 3.8 units right per unit of value 7, 0.5 up per unit of value 6; at 0.58 the origin reaches
// the right edge of the view (half-width 2.21 at depth 4) and the model runs off it.
TEST_F(model_scene, the_model_jumps_right_and_up_with_spectrum_values_7_and_6)
{
    set_show_time(k_ten_pi);
    g_spectrum[6] = 0.8f;
    g_spectrum[7] = 0.1f;
    render_frame();
    expect_box_near(model_on_screen(), model_projected(3.8f * 0.1f, 0.5f * 0.8f), 3);

    set_show_time(k_ten_pi);
    g_spectrum[6] = 0.0f;
    g_spectrum[7] = 0.58f;
    render_frame();
    screen_box seen = model_on_screen();
    EXPECT_NEAR(seen.left, model_projected(3.8f * 0.58f, 0).left, 3);
    EXPECT_EQ(seen.right, 1023) << "the model runs off the right edge";
}

// The tilt is 50 |sin t| degrees about +x: the same on both sides of a multiple of pi, and
// nothing at the multiple itself.
TEST_F(model_scene, the_model_sways_with_the_size_of_sin_t)
{
    show_frame_at(k_ten_pi - 0.5f);
    screen_box before = model_on_screen();
    show_frame_at(k_ten_pi + 0.5f);
    screen_box after = model_on_screen();
    expect_box_near(after, before, 1);

    screen_box upright = model_projected(0, 0);
    EXPECT_GT(std::abs(after.top - upright.top) + std::abs(after.bottom - upright.bottom), 6)
        << "a tilt of 24 degrees changes the silhouette";
}

TEST_F(model_scene, a_card_after_the_model_shows_its_own_image_not_a_sphere_map)
{
    // left half one colour, right half another
    const unsigned char halves[] = {255, 0, 255, 255, 0, 255, 255, 255, 255, 0, 255, 255, 0, 255, 255, 255};
    glDeleteTextures(1, &g_tex_rosamelt);
    g_tex_rosamelt = make_texture(2, 2, halves);

    show_frame_at(30.0f);
    EXPECT_TRUE(near_colour(shown(screen_x(-0.5f, -1.4f), 384), (rgb{255, 0, 255})));
    EXPECT_TRUE(near_colour(shown(screen_x(0.5f, -1.4f), 384), (rgb{0, 255, 255})));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST_F(model_scene, the_scene_leaves_sphere_mapping_on_and_the_alpha_test_off)
{
    glEnable(GL_ALPHA_TEST);
    draw_model_scene(40.0f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), g_tex_vuveduruvi);
}
