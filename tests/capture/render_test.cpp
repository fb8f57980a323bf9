// What the capture renders, run as a user runs it: a span's frames are supersampled, so the cards'
// cut-out edges get in-between tones the live show's frames never have; and a contact sheet is
// filled frame by frame, its memory independent of how many frames it holds.
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/capture/capture_run.h"

static int luminance(const png_pixels& f, int x, int y)
{
    const unsigned char* p = &f.rgb[(static_cast<std::size_t>(y) * f.width + x) * 3];
    return (p[0] * 2126 + p[1] * 7152 + p[2] * 722) / 10000;
}

static bool background(const png_pixels& f, int x, int y)
{
    const unsigned char* p = &f.rgb[(static_cast<std::size_t>(y) * f.width + x) * 3];
    return p[0] >= 250 && p[1] >= 250 && p[2] >= 250;
}

struct outline_count {
    long pixels = 0, in_between = 0;
};

// The cards' outline over the title strips' white: each card pixel beside the white. It is an
// in-between tone when it is lighter than the card two pixels further in by a tenth of the way to
// white, a mix of card and background rather than the card's own colour.
static outline_count card_outline(const png_pixels& f)
{
    static const int k_steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    outline_count count;
    for (int y = 3; y < f.height - 3; ++y) {
        for (int x = 3; x < f.width - 3; ++x) {
            if (background(f, x, y)) continue;
            const int* out = nullptr;
            for (const int* step : k_steps) {
                if (background(f, x + step[0], y + step[1])) out = step;
            }
            if (!out || background(f, x - 2 * out[0], y - 2 * out[1])) continue;
            int card = luminance(f, x - 2 * out[0], y - 2 * out[1]);
            ++count.pixels;
            count.in_between += (luminance(f, x, y) - card) * 10 >= 255 - card;
        }
    }
    return count;
}

// At 3 s the title strips' lettering crosses the white: the still (--times, one sample a pixel by
// default) against the first frame of a span (supersampled by default).
TEST(capture_supersampling, gives_the_card_outlines_in_between_tones)
{
    std::string still = scratch_folder("edges-still"), span = scratch_folder("edges-span");
    ASSERT_EQ(run_capture("--times 3 --frames '" + still + "' --out '" + still + "/s.png'"), 0);
    ASSERT_EQ(run_capture("--from 3 --to 3.01 --frames '" + span + "'"), 0);
    png_pixels hard = read_png(still + "/t003.0.png"), smooth = read_png(frame_file(span, 0));
    ASSERT_EQ(hard.width, 1024);
    ASSERT_EQ(smooth.width, 1024);

    outline_count live = card_outline(hard), supersampled = card_outline(smooth);
    ASSERT_GT(live.pixels, 2000) << "the strips' lettering is on screen at 3 s";
    EXPECT_EQ(live.in_between, 0) << "of " << live.pixels << " outline pixels at one sample a pixel";
    EXPECT_GE(supersampled.in_between, supersampled.pixels * 6 / 10)
        << supersampled.in_between << " of " << supersampled.pixels << " outline pixels in between";
}

static std::string times_from(double first, int count)
{
    std::string times;
    for (int i = 0; i < count; ++i) {
        char t[16];
        std::snprintf(t, sizeof t, "%s%.1f", i ? "," : "", first + 0.1 * i);
        times += t;
    }
    return times;
}

// Frames of a sheet go into their cells as they are drawn: 24 frames take no more memory than 2
// beyond the sheet's own growth, where holding them all would take 22 frames more (200 MiB here).
TEST(capture_sheet, memory_does_not_grow_with_the_frames)
{
    std::string dir = scratch_folder("sheet-memory");
    long two = 0, many = 0;
    const char* common = " --size 2048x1536 --out '";
    ASSERT_EQ(run_capture("--times " + times_from(2.0, 2) + common + dir + "/two.png'", two), 0);
    ASSERT_EQ(run_capture("--times " + times_from(2.0, 24) + common + dir + "/many.png'", many), 0);
    const long frame_kib = 2048L * 1536 * 3 / 1024;
    const long sheet_growth_kib = 22L * 512 * 384 * 3 / 1024 + 1;
    EXPECT_LT(many - two, sheet_growth_kib + 4 * frame_kib)
        << "2 frames peak at " << two << " KiB, 24 at " << many << " KiB";
}

// A sheet at shrink 1 holds the frames themselves, in order, row by row.
TEST(capture_sheet, holds_each_frame_in_its_cell)
{
    std::string dir = scratch_folder("sheet-cells");
    ASSERT_EQ(run_capture("--times 3,12,30 --columns 2 --shrink 1 --size 320x240 --frames '" + dir + "' --out '" +
                          dir + "/s.png'"),
              0);
    png_pixels sheet = read_png(dir + "/s.png");
    ASSERT_EQ(sheet.width, 2 * (320 + 4) + 4);
    const char* names[] = {"t003.0", "t012.0", "t030.0"};
    for (int i = 0; i < 3; ++i) {
        png_pixels frame = read_png(dir + "/" + names[i] + ".png");
        ASSERT_EQ(frame.width, 320) << names[i];
        int left = 4 + i % 2 * 324, top = 4 + i / 2 * 244, differing_rows = 0;
        for (int y = 0; y < 240; ++y) {
            differing_rows += std::memcmp(&sheet.rgb[(static_cast<std::size_t>(top + y) * sheet.width + left) * 3],
                                          &frame.rgb[static_cast<std::size_t>(y) * 320 * 3], 320 * 3) != 0;
        }
        EXPECT_EQ(differing_rows, 0) << names[i] << " in cell " << i;
    }
}
