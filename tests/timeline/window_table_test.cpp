// The window table's invariants, which any retimed or added row must keep: every row draws a
// bank picture over a real span of show time, the slideshow is one run of pictures without gap
// between the title card and the model scene, and the model scene and its cards last to the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assets/texture_bank.h"
#include "show/window_table.h"

static std::vector<show_window> rows_of(scene_kind kind)
{
    std::vector<show_window> rows;
    for (const show_window& row : g_window_table) {
        if (row.kind == kind) rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(), [](const show_window& a, const show_window& b) { return a.from < b.from; });
    return rows;
}

// The latest bound of the table: where the show's last rows end.
static double last_until()
{
    double end = g_window_table[0].until;
    for (const show_window& row : g_window_table) end = std::max(end, row.until);
    return end;
}

// True when the rows, sorted by start, follow one another without gap or overlap.
static ::testing::AssertionResult tile(const std::vector<show_window>& rows)
{
    for (size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].from != rows[i - 1].until) {
            return ::testing::AssertionFailure()
                << "a row ends at " << rows[i - 1].until << " but the next starts at " << rows[i].from;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(window_table, every_row_draws_a_picture_of_the_bank)
{
    for (const show_window& row : g_window_table) {
        bool in_bank = false;
        for (const texture_entry& entry : g_texture_table) in_bank = in_bank || entry.slot == row.texture;
        EXPECT_TRUE(in_bank) << "the row from " << row.from << " draws a texture that is no bank slot";
    }
}

TEST(window_table, every_row_starts_before_it_ends)
{
    for (const show_window& row : g_window_table) {
        EXPECT_LT(row.from, row.until) << "the row from " << row.from;
    }
    // only the first row, drawn from before the show starts, has no lower bound
    for (size_t i = 1; i < sizeof g_window_table / sizeof g_window_table[0]; ++i) {
        EXPECT_NE(g_window_table[i].from, k_no_lower_bound) << "row " << i + 1;
    }
}

TEST(window_table, the_slides_follow_the_title_card_without_gap_until_the_model_scene)
{
    std::vector<show_window> slides = rows_of(scene_picture);
    std::vector<show_window> sliding = rows_of(scene_sliding_billboard);
    std::vector<show_window> model = rows_of(scene_model);
    ASSERT_FALSE(slides.empty());
    ASSERT_EQ(sliding.size(), 1u);
    ASSERT_EQ(model.size(), 1u);
    EXPECT_TRUE(tile(slides));
    EXPECT_EQ(slides.front().from, sliding[0].until) << "the first slide starts as the title card leaves";
    EXPECT_EQ(slides.back().until, model[0].from) << "the last slide ends as the model scene starts";
    // the spans the show is built around: the slideshow from 11.8 s to 29.3 s
    EXPECT_DOUBLE_EQ(slides.front().from, 11.8);
    EXPECT_DOUBLE_EQ(slides.back().until, 29.3);
}

TEST(window_table, the_model_scene_and_its_cards_last_to_the_show_end)
{
    std::vector<show_window> model = rows_of(scene_model);
    std::vector<show_window> cards = rows_of(scene_model_billboard);
    ASSERT_EQ(model.size(), 1u);
    ASSERT_FALSE(cards.empty());
    // a card over the model from the model scene's start to its end, one at a time
    EXPECT_TRUE(tile(cards));
    EXPECT_EQ(cards.front().from, model[0].from);
    EXPECT_EQ(cards.back().until, model[0].until);
    // the last rows end together at the show's end, 83 s in the clock's single precision
    EXPECT_EQ(model[0].until, last_until());
    EXPECT_EQ(last_until(), static_cast<double>(83.0f));
}

// The title strips are drawn from before the show starts until the slideshow covers the screen.
TEST(window_table, the_title_strips_run_from_the_start_under_the_title_card)
{
    std::vector<show_window> strips = rows_of(scene_title_strips);
    std::vector<show_window> card = rows_of(scene_billboard);
    std::vector<show_window> sliding = rows_of(scene_sliding_billboard);
    ASSERT_EQ(strips.size(), 1u);
    ASSERT_FALSE(card.empty());
    EXPECT_EQ(strips[0].from, k_no_lower_bound);
    EXPECT_EQ(card.back().until, sliding[0].from) << "the card slides down from where it stood";
    EXPECT_GE(strips[0].until, sliding[0].until) << "the strips stay under the card until it is gone";
}
