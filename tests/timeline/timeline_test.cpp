// The timeline's frames on real GL: what each time window shows, its bounds on fresh clock
// readings, how many readings a frame takes, and the end of the show. Where a check runs over
// the rows it reads them from the window table, so a retimed or added row is checked too.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assets/texture_bank.h"
#include "show/scenes.h"
#include "show/show_times.h"
#include "show/timeline.h"
#include "show/window_table.h"
#include "tests/support/settable_clock.h"
#include "tests/timeline/render_fixture.h"
#include "tools/common/swap_hook.h"

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

// The readings a frame takes when its rows are tested at row_time: the frame time, then one
// for each bound a row tests, every row whatever the others did: a row with no start tests its
// end, a row not yet begun stops at its start, a begun row tests its end too.
static int reads_for_frame(float row_time)
{
    int reads = 1;
    for (const show_window& row : g_window_table) {
        if (row.from == k_no_lower_bound) reads += 1;
        else reads += static_cast<double>(row_time) >= row.from ? 2 : 1;
    }
    return reads;
}

// Just below and at every bound of the table, and before the show starts.
TEST_F(clock_reads, a_frame_reads_the_clock_once_per_bound_it_tests)
{
    std::vector<float> times = {-1.0f, 0.0f};
    for (const show_window& row : g_window_table) {
        for (double bound : {row.from, row.until}) {
            if (bound == k_no_lower_bound) continue;
            times.push_back(time_before(bound));
            times.push_back(time_at(bound));
        }
    }
    for (float t : times) {
        SCOPED_TRACE(t);
        show_frame_at(t);
        EXPECT_EQ(show_time_reads(), reads_for_frame(t));
    }
    // the very start tests one bound per row (and the first row's end): one more than the rows
    show_frame_at(0.0f);
    EXPECT_EQ(show_time_reads(), 1 + static_cast<int>(sizeof g_window_table / sizeof g_window_table[0]));
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

// The slide follows the row's own start, so a card whose cue moves does not jump: drawn alone
// at another cue, it stands at its resting height at the cue and half a unit lower half a
// second on. The card is a unit high.
TEST_F(title_strips, a_sliding_card_slides_from_its_own_cue)
{
    const show_window row = {20.0, 21.0, scene_sliding_billboard, &g_tex_flanokk, 0.0f, 0.1f, -1.4f};
    rgb card = bank_colour(&g_tex_flanokk);
    auto draw_at = [&](float t) {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_scene(row, t);
        on_frame_presented();
    };

    draw_at(20.0f);
    int lower_edge = screen_y(0.1f - 0.5f, -1.4f);
    EXPECT_TRUE(shows(512, lower_edge - 4, card));
    EXPECT_TRUE(shows(512, lower_edge + 4, k_white));

    draw_at(20.5f);
    int upper_edge = screen_y(0.1f, -1.4f);
    EXPECT_TRUE(shows(512, upper_edge - 4, k_white));
    EXPECT_TRUE(shows(512, upper_edge + 4, card));
}

// --- 11.8 to 29.3 s: the slideshow --------------------------------------------------

// The table's rows of one scene kind, in table order.
static std::vector<show_window> rows_of(scene_kind kind)
{
    std::vector<show_window> rows;
    for (const show_window& row : g_window_table) {
        if (row.kind == kind) rows.push_back(row);
    }
    return rows;
}

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
    std::vector<show_window> slides = rows_of(scene_picture);
    ASSERT_FALSE(slides.empty());
    for (size_t i = 0; i < slides.size(); ++i) {
        SCOPED_TRACE(slides[i].from);
        show_frame_at(time_at(slides[i].from));
        EXPECT_TRUE(fills_screen(bank_colour(slides[i].texture)));
        show_frame_at(time_at(slides[i].from) + 0.01f);
        EXPECT_TRUE(fills_screen(bank_colour(slides[i].texture)));
        if (i > 0) {
            show_frame_at(time_before(slides[i].from));
            EXPECT_TRUE(fills_screen(bank_colour(slides[i - 1].texture)));
        }
    }
    show_frame_at(time_before(slides.back().until));
    EXPECT_TRUE(fills_screen(bank_colour(slides.back().texture)));
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
    // the rows after the first are tested at 12.81 s
    EXPECT_EQ(show_time_reads(), reads_for_frame(12.81f));
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

TEST_F(model_half, each_card_stands_over_the_backdrop_from_its_bound_on)
{
    rgb backdrop = bank_colour(&g_tex_univers);
    std::vector<show_window> cards = rows_of(scene_model_billboard);
    ASSERT_FALSE(cards.empty());
    for (size_t i = 0; i < cards.size(); ++i) {
        const show_window& c = cards[i];
        SCOPED_TRACE(c.from);
        show_frame_at(time_at(c.from));
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
            show_frame_at(time_before(c.from));
            EXPECT_TRUE(shows(512, screen_y(c.y, c.z), bank_colour(cards[i - 1].texture)));
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

// The show ends where the table's last rows end: the frame just before still leaves it running.
TEST_F(show_end, the_show_ends_where_the_last_rows_end)
{
    double last = g_window_table[0].until;
    for (const show_window& row : g_window_table) last = std::max(last, row.until);
    show_frame_at(time_before(last));
    EXPECT_FALSE(g_show_over);
    show_frame_at(time_at(last));
    EXPECT_TRUE(g_show_over);
}

// A frame whose own time is still below 83 while its later readings have reached it draws
// nothing and does not end the show; the next frame does.
TEST_F(show_end, readings_past_83_within_a_frame_before_it_draw_nothing_and_do_not_end_it)
{
    clear_back_buffer(1, 0, 1);
    script_show_time({82.999f, k_show_end});
    EXPECT_TRUE(render_frame());
    EXPECT_FALSE(g_show_over);
    EXPECT_EQ(show_time_reads(), reads_for_frame(83.0f));
    EXPECT_TRUE(shows(512, 384, (rgb{255, 0, 255})));

    set_show_time(k_show_end);
    EXPECT_TRUE(render_frame());
    EXPECT_TRUE(g_show_over);
}
