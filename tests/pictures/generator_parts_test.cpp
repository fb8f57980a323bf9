// The generator's building blocks: file writers read back by libpng/libjpeg, the row splitter, noise and tone curve.
#include "tools/common/image_io.h"
#include "tools/pictures/lettering.h"
#include "tools/pictures/noise.h"
#include "tools/pictures/pictures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

static std::string temp_path(const char* name)
{
    return std::string(::testing::TempDir()) + name;
}

// Distinct values per channel, so a swapped channel order cannot pass.
static image8 test_pattern(int channels)
{
    image8 img = make_image(64, 32, channels);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            unsigned char* p = &img.pixels[(size_t(y) * img.width + x) * channels];
            p[0] = (unsigned char)(x * 4);
            p[1] = (unsigned char)(y * 8);
            p[2] = (unsigned char)(255 - x * 2);
            if (channels == 4) p[3] = (x + y) % 3 == 0 ? 0 : 255;
        }
    return img;
}

TEST(writers, png_keeps_every_opaque_pixel_and_its_alpha_exactly)
{
    image8 img = test_pattern(4);
    std::string path = temp_path("pattern.png");
    ASSERT_TRUE(write_png(path, img));
    decoded_image back = read_image_file(path);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.format, "png");
    ASSERT_TRUE(back.has_alpha);
    ASSERT_EQ(back.image.width, img.width);
    ASSERT_EQ(back.image.height, img.height);
    for (size_t i = 0; i < size_t(img.width) * img.height; ++i) {
        ASSERT_EQ(back.image.pixels[i * 4 + 3], img.pixels[i * 4 + 3]) << "pixel " << i;
        if (img.pixels[i * 4 + 3] == 0) continue;  // colour under alpha 0 is not kept
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(back.image.pixels[i * 4 + c], img.pixels[i * 4 + c]) << "pixel " << i << " channel " << c;
    }
    std::remove(path.c_str());
}

TEST(writers, opaque_png_is_written_without_alpha)
{
    image8 img = test_pattern(3);
    std::string path = temp_path("opaque.png");
    ASSERT_TRUE(write_png(path, img));
    decoded_image back = read_image_file(path);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_FALSE(back.has_alpha);
    EXPECT_EQ(back.image.pixels[(5 * 64 + 7) * 4 + 0], 28);
    EXPECT_EQ(back.image.pixels[(5 * 64 + 7) * 4 + 1], 40);
    EXPECT_EQ(back.image.pixels[(5 * 64 + 7) * 4 + 2], 241);
    std::remove(path.c_str());
}

TEST(writers, jpeg_comes_back_close_in_every_channel)
{
    image8 img = test_pattern(3);
    std::string path = temp_path("pattern.jpg");
    ASSERT_TRUE(write_jpeg(path, img, 90));
    decoded_image back = read_image_file(path);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.format, "jpeg");
    ASSERT_EQ(back.image.width, img.width);
    ASSERT_EQ(back.image.height, img.height);
    double err[3] = {0, 0, 0};
    for (size_t i = 0; i < size_t(img.width) * img.height; ++i)
        for (int c = 0; c < 3; ++c)
            err[c] += std::abs(int(back.image.pixels[i * 4 + c]) - int(img.pixels[i * 3 + c]));
    for (int c = 0; c < 3; ++c) EXPECT_LT(err[c] / (img.width * img.height), 3.0) << "channel " << c;
    std::remove(path.c_str());
}

TEST(writers, an_unwritable_path_is_reported_as_a_failure)
{
    image8 img = test_pattern(3);
    EXPECT_FALSE(write_jpeg("/nonexistent-folder/x.jpg", img, 80));
    EXPECT_FALSE(write_png("/nonexistent-folder/x.png", img));
}

TEST(rows, every_row_is_rendered_exactly_once)
{
    for (int height : {1, 2, 7, 64}) {
        std::vector<std::atomic<int>> seen(height);
        for (auto& s : seen) s = 0;
        parallel_rows(height, [&](int y) { seen[y]++; });
        for (int y = 0; y < height; ++y) EXPECT_EQ(seen[y].load(), 1) << "row " << y << " of " << height;
    }
}

TEST(cards, every_card_of_the_show_is_known_and_nothing_else)
{
    for (const char* name : {"Dimbrane.png", "Presents.png", "Flanokk.png", "Rosamelt.png", "Zorq1.png",
                             "VexilCredits.png", "GFXCredit.png", "MusicCredits.png", "Gaming.png"})
        EXPECT_TRUE(is_card_name(name)) << name;
    EXPECT_FALSE(is_card_name("Bilde01.jpg"));
    EXPECT_FALSE(is_card_name("dimbrane.png"));
    EXPECT_EQ(render_card("Nothing.png").width, 0);
}

TEST(noise, is_repeatable_bounded_and_depends_on_its_seed)
{
    int differ = 0;
    for (int i = 0; i < 200; ++i) {
        float x = i * 0.37f - 20.0f, y = i * 0.11f + 3.0f;
        float a = value_noise2(x, y, 7);
        EXPECT_EQ(a, value_noise2(x, y, 7));
        EXPECT_GE(a, -1.0f);
        EXPECT_LE(a, 1.0f);
        float r = ridged2(x, y, 6, 7);
        EXPECT_GE(r, 0.0f);
        EXPECT_LE(r, 1.0f);
        if (value_noise2(x, y, 8) != a) ++differ;
    }
    EXPECT_GT(differ, 150) << "another seed should give another field";
}

TEST(tone_curve, black_stays_black_bright_saturates_and_order_is_kept)
{
    unsigned char out[3], prev = 0;
    tone_map(0.0f, 0.0f, 0.0f, 1.0f, out);
    EXPECT_EQ(out[0], 0);
    tone_map(100.0f, 100.0f, 100.0f, 1.0f, out);
    EXPECT_GE(out[0], 250);
    for (float v = 0.0f; v < 4.0f; v += 0.05f) {
        tone_map(v, v, v, 1.0f, out);
        EXPECT_GE(out[0], prev) << "at " << v;
        prev = out[0];
    }
    // Channels are kept apart.
    tone_map(1.0f, 0.0f, 0.0f, 1.0f, out);
    EXPECT_GT(out[0], 100);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 0);
}
