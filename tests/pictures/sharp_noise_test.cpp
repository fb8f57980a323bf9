// The measure of grain the slides are held to: the mean absolute Laplacian of luminance over the rows the screen shows.
#include "tools/pictures/sharp_noise.h"

#include <gtest/gtest.h>

#include <vector>

TEST(sharp_noise, is_zero_on_flat_and_ramping_pictures_and_full_on_a_checkerboard)
{
    const int w = 32, h = 32;
    std::vector<unsigned char> flat(size_t(w * h * 3), 90), ramp(size_t(w * h * 3)), checker(size_t(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                ramp[size_t((y * w + x) * 3 + c)] = (unsigned char)(x * 3 + y * 2);  // a gradient has no curvature
                checker[size_t((y * w + x) * 3 + c)] = (x + y) % 2 ? 255 : 0;
            }
    EXPECT_NEAR(sharp_noise(flat.data(), w, h, 3, 0, h), 0.0, 1e-3);
    EXPECT_NEAR(sharp_noise(ramp.data(), w, h, 3, 0, h), 0.0, 1e-2);
    EXPECT_NEAR(sharp_noise(checker.data(), w, h, 3, 0, h), 4.0 * 255.0, 0.5);
}

TEST(sharp_noise, counts_only_the_rows_the_screen_shows)
{
    int first, end;
    seen_rows(1024, &first, &end);
    EXPECT_EQ(first, 130);
    EXPECT_EQ(end, 894);
    EXPECT_NEAR((end - first) / 1024.0, 0.746, 0.002);
    // Grain confined to the hidden top rows does not count.
    const int w = 16, h = 100;
    std::vector<unsigned char> img(size_t(w * h * 4), 128);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < w; ++x) img[size_t((y * w + x) * 4)] = (x + y) % 2 ? 255 : 0;
    seen_rows(h, &first, &end);
    EXPECT_EQ(sharp_noise(img.data(), w, h, 4, first, end), 0.0);
    EXPECT_GT(sharp_noise(img.data(), w, h, 4, 0, h), 10.0);
}
