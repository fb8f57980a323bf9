// The capture's arithmetic: the 4:3 box in any frame and the frames a span holds.
#include <gtest/gtest.h>

#include "tools/capture/capture_clock.h"
#include "tools/capture/capture_context.h"
#include "tools/capture/capture_options.h"

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
