// The capture's arithmetic: the 4:3 box in any frame, the frames a span holds, the box filter and
// the memory bound.
#include <cstdio>
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

// A block of one colour keeps that colour exactly, for every value and factor (flat areas of a
// supersampled frame are the live show's colours); half black and half white gives half the
// light, sRGB 188, not half the code, 128.
TEST(box_filter, keeps_flat_colours_and_averages_light)
{
    for (int factor = 1; factor <= 4; ++factor) {
        for (int v = 0; v < 256; ++v) {
            std::vector<unsigned char> block(static_cast<std::size_t>(factor) * factor * 4,
                                             static_cast<unsigned char>(v));
            unsigned char out[3];
            shrink_row(block.data(), factor * 4, 4, factor, 1, out);
            ASSERT_TRUE(out[0] == v && out[1] == v && out[2] == v) << v << " at factor " << factor;
        }
    }
    const unsigned char checker[2][6] = {{0, 0, 0, 255, 255, 255}, {255, 255, 255, 0, 0, 0}};
    unsigned char out[3];
    shrink_row(checker[0], 6, 3, 2, 1, out);
    EXPECT_EQ(out[1], 188);
}

// A 1080p video fits; 8K does not, and the largest frame the refusal names fits, the next size up
// would not.
TEST(memory_bound, names_the_largest_frame_that_fits)
{
    capture_options video;
    video.video = "v.mp4";
    video.width = 1920, video.height = 1080, video.supersample = 2;
    std::string error;
    EXPECT_TRUE(check_memory_bound(video, error)) << error;
    video.width = 8192, video.height = 6144;
    ASSERT_FALSE(check_memory_bound(video, error));
    ASSERT_EQ(std::sscanf(error.c_str() + error.rfind(' '), " %dx%d", &video.width, &video.height), 2) << error;
    EXPECT_LE(run_memory_mb(video), k_memory_bound_mb) << error;
    video.width += 8, video.height += 6;
    EXPECT_GT(run_memory_mb(video), k_memory_bound_mb) << error;
}
