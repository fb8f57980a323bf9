// The timeline's frames on real GL: what each window shows, its bounds on fresh clock
// readings, how many readings a frame takes, and the end of the show.
#include <gtest/gtest.h>

#include <vector>

#include "assets/texture_bank.h"
#include "show/show_times.h"
#include "show/timeline.h"
#include "show/window_table.h"
#include "tests/support/settable_clock.h"
#include "tests/timeline/render_fixture.h"

static const rgb k_white{255, 255, 255};

using clock_reads = show_render;
using title_strips = show_render;
using slideshow = show_render;
using model_half = show_render;
using show_end = show_render;

static bool shows(int x, int y, rgb colour)
{
    return near_colour(shown(x, y), colour);
}

// --- clock readings -------------------------------------------------------------------

// The frame time, row 1's single reading, then one reading for a window not yet begun and two
// for one begun: 30 at the very start, 58 at the end, every row tested whatever the others did.
TEST_F(clock_reads, a_frame_reads_the_clock_once_per_bound_it_tests)
{
    set_show_time(0.0f);
    render_frame();
    EXPECT_EQ(show_time_reads(), 30);

    set_show_time(30.0f);
    render_frame();
    EXPECT_EQ(show_time_reads(), 53);

    set_show_time(82.9f);
    render_frame();
    EXPECT_EQ(show_time_reads(), 58);
}

// --- 0 to 12.8 s: the title strips and the title card -----------------------------------

TEST_F(title_strips, at_zero_only_the_inner_ends_reach_into_a_white_screen)
{
    show_frame_at(0.0f);
    rgb first = bank_colour(&g_tex_dimbrane), second = bank_colour(&g_tex_presents);
    int first_y = screen_y(0.1f, -1.4f), second_y = screen_y(-0.1f, -1.4f);

    // the first strip's left end stands at x = 0.5, the second's right end at x = -0.5
    EXPECT_TRUE(shows(screen_x(0.5f, -1.4f) + 3, first_y, first));
    EXPECT_TRUE(shows(screen_x(0.5f, -1.4f) - 3, first_y, k_white));
    EXPECT_TRUE(shows(1020, first_y, first));
    EXPECT_TRUE(shows(screen_x(-0.5f, -1.4f) - 3, second_y, second));
    EXPECT_TRUE(shows(screen_x(-0.5f, -1.4f) + 3, second_y, k_white));
    EXPECT_TRUE(shows(3, second_y + 40, second));

    // strips are 0.25 high
    EXPECT_TRUE(shows(1000, screen_y(0.1f + 0.125f, -1.4f) - 3, k_white));
    EXPECT_TRUE(shows(1000, screen_y(0.1f + 0.125f, -1.4f) + 3, first));
    for (int x : {5, 512, 1018}) {
        for (int y : {5, 760}) EXPECT_TRUE(shows(x, y, k_white)) << x << "," << y;
    }
    EXPECT_TRUE(shows(512, 384, k_white));
}

TEST_F(title_strips, at_three_seconds_both_are_centred_and_a_reading_below_zero_pushes_them_out)
{
    // both span the whole width; where they overlap the second, drawn later, is seen
    show_frame_at(3.0f);
    for (int x : {3, 512, 1020}) {
        EXPECT_TRUE(shows(x, screen_y(0.2f, -1.4f), bank_colour(&g_tex_dimbrane)));
        EXPECT_TRUE(shows(x, screen_y(0.0f, -1.4f), bank_colour(&g_tex_presents)));
        EXPECT_TRUE(shows(x, screen_y(-0.2f, -1.4f), bank_colour(&g_tex_presents)));
        EXPECT_TRUE(shows(x, screen_y(0.1f + 0.125f, -1.4f) - 3, k_white));
        EXPECT_TRUE(shows(x, screen_y(-0.1f - 0.125f, -1.4f) + 3, k_white));
    }

    show_frame_at(-1.0f);
    for (int x : {3, 512, 1020}) {
        for (int y : {screen_y(0.1f, -1.4f), screen_y(-0.1f, -1.4f)}) {
            EXPECT_TRUE(shows(x, y, k_white)) << x << "," << y;
        }
    }
}

TEST_F(title_strips, the_title_card_stands_from_6_35_then_slides_down_from_10_9)
{
    rgb card = bank_colour(&g_tex_flanokk);

    show_frame_at(time_before(k_title_card_at));
    EXPECT_TRUE(shows(512, 384, k_white));

    show_frame_at(time_at(k_title_card_at));
    EXPECT_TRUE(shows(512, 384, card));
    EXPECT_TRUE(shows(512, screen_y(0.1f - 0.5f, -1.4f) - 3, card));
    EXPECT_TRUE(shows(512, screen_y(0.1f - 0.5f, -1.4f) + 3, k_white));
    EXPECT_TRUE(shows(3, 384, card)) << "a card at depth 1.4 is wider than the screen";

    // at 11.5 s the card's centre is at y = -0.5: its top edge crosses the middle of the screen
    show_frame_at(11.5f);
    EXPECT_TRUE(shows(512, screen_y(0.0f, -1.4f) - 4, k_white));
    EXPECT_TRUE(shows(512, screen_y(0.0f, -1.4f) + 4, card));
}

// --- 11.8 to 29.3 s: the slideshow --------------------------------------------------

// The picture each slide shows, in order; its bounds come from the show's times.
static const GLuint* const k_slide_textures[k_slide_count] = {
    &g_tex_bilde01, &g_tex_bilde02, &g_tex_bilde03, &g_tex_bilde04, &g_tex_bilde05, &g_tex_bilde06, &g_tex_bilde07,
    &g_tex_bilde08, &g_tex_bilde09, &g_tex_bilde10, &g_tex_bilde11, &g_tex_bilde12, &g_tex_bilde13, &g_tex_bilde14,
    &g_tex_bilde15, &g_tex_bilde16, &g_tex_bilde17, &g_tex_bilde01, &g_tex_bilde01,
};

static bool fills_screen(rgb colour)
{
    for (int x : {2, 512, 1021}) {
        for (int y : {2, 384, 765}) {
            if (!shows(x, y, colour)) return false;
        }
    }
    return true;
}

// Just below, at and just after every bound, in the clock's own single precision.
TEST_F(slideshow, each_picture_fills_the_screen_from_its_bound_on)
{
    for (int i = 0; i < k_slide_count; ++i) {
        SCOPED_TRACE(k_slide_at[i]);
        show_frame_at(time_at(k_slide_at[i]));
        EXPECT_TRUE(fills_screen(bank_colour(k_slide_textures[i])));
        show_frame_at(time_at(k_slide_at[i]) + 0.01f);
        EXPECT_TRUE(fills_screen(bank_colour(k_slide_textures[i])));
        if (i > 0) {
            show_frame_at(time_before(k_slide_at[i]));
            EXPECT_TRUE(fills_screen(bank_colour(k_slide_textures[i - 1])));
        }
    }
    show_frame_at(time_before(k_model_scene_at));
    EXPECT_TRUE(fills_screen(bank_colour(&g_tex_bilde01)));
}

TEST_F(slideshow, at_12_seconds_the_picture_wipes_the_strips_drawn_before_it)
{
    show_frame_at(12.0f);
    EXPECT_TRUE(fills_screen(bank_colour(&g_tex_bilde01)));
    EXPECT_TRUE(shows(1020, screen_y(0.1f, -1.4f), bank_colour(&g_tex_bilde01)));
}

// A clock that passes 12.8 s between the tests of rows 1 and 5: both draw, the picture covers.
TEST_F(slideshow, a_clock_passing_a_bound_within_a_frame_draws_both_windows_in_order)
{
    script_show_time({12.79f, 12.79f, 12.81f});
    g_show_over = false;
    render_frame();
    EXPECT_TRUE(fills_screen(bank_colour(&g_tex_bilde02)));
    // rows 2 to 5 have begun at 12.81 s, rows 6 to 29 have not
    EXPECT_EQ(show_time_reads(), 1 + 1 + 2 * 4 + 24);
}

TEST_F(slideshow, a_clock_that_stands_still_keeps_its_picture)
{
    for (int frame = 0; frame < 5; ++frame) {
        show_frame_at(20.0f);
        EXPECT_TRUE(fills_screen(bank_colour(&g_tex_bilde09)));
    }
    EXPECT_FALSE(g_show_over);
}

// --- 29.3 to 83 s: billboards over the model scene ------------------------------------

// Each card in order, where it stands; its bounds come from the show's times.
struct card {
    const GLuint* texture;
    float y, z;
};

static const card k_cards[k_card_count] = {
    {&g_tex_rosamelt, 0.1f, -1.4f},       {&g_tex_zorq1, 0.1f, -1.4f},       {&g_tex_vexil_credits, 0.2f, -2.4f},
    {&g_tex_gfx_credit, 0.2f, -2.4f},     {&g_tex_music_credits, -0.2f, -2.4f}, {&g_tex_gaming, 0.0f, -2.4f},
};

TEST_F(model_half, each_card_stands_over_the_backdrop_from_its_bound_on)
{
    rgb backdrop = bank_colour(&g_tex_univers);
    for (int i = 0; i < k_card_count; ++i) {
        const card& c = k_cards[i];
        SCOPED_TRACE(k_card_at[i]);
        show_frame_at(time_at(k_card_at[i]));
        // left of the model, which stands in the middle
        int bottom = screen_y(c.y - 0.5f, c.z);
        EXPECT_TRUE(shows(200, bottom - 4, bank_colour(c.texture)));
        EXPECT_TRUE(shows(200, bottom + 4, backdrop));
        EXPECT_TRUE(shows(200, 765, backdrop));
        if (c.z < -2.0f) {
            // seen whole at depth 2.4: the backdrop shows beside it
            EXPECT_TRUE(shows(screen_x(-1.0f, c.z) + 4, screen_y(c.y, c.z), bank_colour(c.texture)));
            EXPECT_TRUE(shows(screen_x(-1.0f, c.z) - 4, screen_y(c.y, c.z), backdrop));
        }
        if (i > 0) {
            show_frame_at(time_before(k_card_at[i]));
            EXPECT_TRUE(shows(512, screen_y(c.y, c.z), bank_colour(k_cards[i - 1].texture)));
        }
    }
}

// --- the end of the show --------------------------------------------------------------

static void clear_back_buffer(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST_F(show_end, the_first_frame_at_83_only_swaps_and_the_next_call_does_nothing)
{
    // what is in the back buffer before the frame is what the frame presents: no clear, no draw
    clear_back_buffer(1, 0, 1);
    set_show_time(k_show_end);
    int swaps = presented_frames();
    EXPECT_TRUE(render_frame());
    EXPECT_TRUE(g_show_over);
    EXPECT_EQ(presented_frames(), swaps + 1);
    EXPECT_TRUE(shows(512, 384, (rgb{255, 0, 255})));

    set_show_time(90.0f);
    EXPECT_FALSE(render_frame());
    EXPECT_EQ(show_time_reads(), 0);
    EXPECT_EQ(presented_frames(), swaps + 1) << "no swap once the show is over";
}

// A frame whose own time is still below 83 while its later readings have reached it draws
// nothing and does not end the show; the next frame does.
TEST_F(show_end, readings_past_83_within_a_frame_before_it_draw_nothing_and_do_not_end_it)
{
    clear_back_buffer(1, 0, 1);
    script_show_time({82.999f, k_show_end});
    EXPECT_TRUE(render_frame());
    EXPECT_FALSE(g_show_over);
    EXPECT_EQ(show_time_reads(), 58);
    EXPECT_TRUE(shows(512, 384, (rgb{255, 0, 255})));

    set_show_time(k_show_end);
    EXPECT_TRUE(render_frame());
    EXPECT_TRUE(g_show_over);
}
