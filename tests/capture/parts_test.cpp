// The capture's arithmetic: the 4:3 box in any frame, the frames a span holds, the box filter and
// the memory bound.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/capture/box_filter.h"
#include "tools/capture/capture_clock.h"
#include "tools/capture/capture_context.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/memory_bound.h"

// For many sizes: the box lies inside the frame, is centred, touches two opposite sides, and
// is 4:3 to within the pixel lost to rounding.
TEST(capture_box, is_the_largest_centred_four_by_three_box)
{
    for (int w = 16; w <= 4096; w += 98) {
        for (int h = 16; h <= 4096; h += 106) {
            frame_box b = show_box(w, h);
            ASSERT_GE(b.x, 0);
            ASSERT_GE(b.y, 0);
            ASSERT_LE(b.x + b.width, w);
            ASSERT_LE(b.y + b.height, h);
            ASSERT_LE(std::abs((w - b.width) - 2 * b.x), 1) << w << "x" << h;
            ASSERT_LE(std::abs((h - b.height) - 2 * b.y), 1) << w << "x" << h;
            ASSERT_TRUE(b.width == w || b.height == h) << w << "x" << h;
            ASSERT_LE(std::abs(b.width * 3 - b.height * 4), 4) << w << "x" << h;
        }
    }
    frame_box same = show_box(1024, 768);
    EXPECT_TRUE(same.x == 0 && same.y == 0 && same.width == 1024 && same.height == 768);
}

// Every frame starts before --to, the next one would not: for spans that end on a frame, between
// frames, and hold a single frame.
TEST(capture_span, holds_the_frames_that_start_before_its_end)
{
    struct span_case {
        double from, to;
        int fps;
    } cases[] = {
        {29.0, 31.0, 30}, {0.0, 83.0, 60}, {10.1, 10.2, 60}, {40.4, 40.41, 60}, {1.0, 1.7, 7}, {82.99, 83.0, 240},
    };
    for (const span_case& c : cases) {
        capture_options o;
        o.from = c.from;
        o.to = c.to;
        o.fps = c.fps;
        long n = span_frames(o);
        ASSERT_GE(n, 1);
        // frame times compared in the time unit of a frame, where rounding is well below one
        EXPECT_LT(frame_time(o.from, n - 1, o.fps), o.to - 1e-9) << c.from << "-" << c.to << " at " << c.fps;
        EXPECT_GE(frame_time(o.from, n, o.fps), o.to - 1e-9) << c.from << "-" << c.to << " at " << c.fps;
    }
    capture_options empty;
    empty.from = empty.to = 40;
    EXPECT_EQ(span_frames(empty), 0);
}

// A block of one colour comes out as that colour, for every value, factor and pixel layout: flat
// areas of a supersampled frame and of a sheet's cells keep the live show's exact colours.
TEST(box_filter, keeps_a_flat_block_exactly)
{
    for (int channels : {3, 4}) {
        for (int factor = 1; factor <= 4; ++factor) {
            for (int v = 0; v < 256; ++v) {
                std::vector<unsigned char> rows(static_cast<std::size_t>(factor) * factor * 2 * channels,
                                                static_cast<unsigned char>(v));
                unsigned char out[6] = {0, 0, 0, 0, 0, 0};
                shrink_row(rows.data(), factor * 2 * channels, channels, factor, 2, out);
                for (unsigned char c : out)
                    ASSERT_EQ(c, v) << "factor " << factor << ", " << channels << " channels";
            }
        }
    }
}

// Half black and half white averages to half the light (sRGB 188), not to half the code (128):
// an edge crossing a pixel's middle looks as bright as the two sides together.
TEST(box_filter, averages_in_linear_light)
{
    const unsigned char checker[2][2 * 3] = {{0, 0, 0, 255, 255, 255}, {255, 255, 255, 0, 0, 0}};
    unsigned char out[3];
    shrink_row(checker[0], 2 * 3, 3, 2, 1, out);
    for (unsigned char c : out) EXPECT_EQ(c, 188);
}

static capture_options run_of(const std::string& kind, int width, int height, int supersample)
{
    capture_options o;
    if (kind == "video") o.video = "v.mp4";
    if (kind == "sheet") o.times.assign(40, 3.0f);
    o.width = width;
    o.height = height;
    o.supersample = supersample;
    return o;
}

// The runs the guide shows fit; a frame the encoder alone cannot hold is refused, and the largest
// frame the refusal names fits while the next size up would not.
TEST(memory_bound, admits_common_runs_and_names_the_largest_that_fits)
{
    std::string error;
    EXPECT_TRUE(check_memory_bound(run_of("video", 1920, 1080, 2), error)) << error;
    EXPECT_TRUE(check_memory_bound(run_of("video", 1024, 768, 3), error)) << error;
    EXPECT_TRUE(check_memory_bound(run_of("sheet", 8192, 6144, 1), error)) << error;
    for (const char* kind : {"video", "sheet", "span"}) {
        capture_options o = run_of(kind, 8192, 6144, 4);
        ASSERT_FALSE(check_memory_bound(o, error)) << kind;
        std::size_t at = error.rfind(' ');
        int w = 0, h = 0;
        ASSERT_EQ(std::sscanf(error.c_str() + at, " %dx%d", &w, &h), 2) << error;
        EXPECT_LE(run_memory_mb(run_of(kind, w, h, 4)), k_memory_bound_mb) << error;
        EXPECT_GT(run_memory_mb(run_of(kind, w + 8, h + 6, 4)), k_memory_bound_mb) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}
