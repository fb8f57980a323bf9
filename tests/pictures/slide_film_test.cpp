// The slide renderer's film and filtering: sample placement, tone curve, glow, footprint-filtered waves, night-only stars.
#include "tools/pictures/film.h"
#include "tools/pictures/noise.h"
#include "tools/pictures/sharp_noise.h"
#include "tools/pictures/slide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(sampler, every_cell_of_the_pixel_gets_exactly_one_sample_inside_it)
{
    for (int side : {1, 2, 4, 5}) {
        for (uint32_t seed : {0u, 1u, 77u, 123456789u}) {
            std::vector<int> hits(size_t(side * side), 0);
            double mx = 0.0, my = 0.0;
            for (int k = 0; k < side * side; ++k) {
                float dx, dy;
                stratified_sample(k, side, seed, &dx, &dy);
                ASSERT_GE(dx, 0.0f);
                ASSERT_LT(dx, 1.0f);
                ASSERT_GE(dy, 0.0f);
                ASSERT_LT(dy, 1.0f);
                hits[size_t(int(dy * side) * side + int(dx * side))]++;
                mx += dx;
                my += dy;
            }
            for (int c = 0; c < side * side; ++c)
                EXPECT_EQ(hits[size_t(c)], 1) << "cell " << c << " of " << side << "x" << side;
            // Evenly spread: the centroid stays within a cell's half-width of the pixel's centre.
            EXPECT_NEAR(mx / (side * side), 0.5, 0.5 / side);
            EXPECT_NEAR(my / (side * side), 0.5, 0.5 / side);
        }
    }
}

TEST(sampler, neighbouring_pixels_are_jittered_differently)
{
    int same = 0;
    for (uint32_t seed = 0; seed < 100; ++seed) {
        float ax, ay, bx, by;
        stratified_sample(5, 4, seed, &ax, &ay);
        stratified_sample(5, 4, seed + 1, &bx, &by);
        if (ax == bx && ay == by) ++same;
    }
    EXPECT_EQ(same, 0) << "a fixed pattern repeated in every pixel would alias like one sample";
}

TEST(film_curve, is_monotonic_keeps_white_below_clipping_and_burns_out_only_lights)
{
    EXPECT_EQ(film_curve(0.0f), 0.0f);
    float prev = 0.0f;
    for (float x = 0.001f; x < 64.0f; x *= 1.05f) {
        float y = film_curve(x);
        ASSERT_GE(y, prev) << "at " << x;
        ASSERT_LE(y, 1.0f) << "at " << x;
        prev = y;
    }
    unsigned char out[3];
    film_tone(v3(1.0f), out);  // a white surface in full light
    EXPECT_LT(out[0], 240) << "white would clip and lose its texture";
    EXPECT_GT(out[0], 200) << "white would look grey";
    film_tone(v3(0.18f), out);  // middle grey stays in the middle
    EXPECT_GT(out[0], 100);
    EXPECT_LT(out[0], 160);
    film_tone(v3(k_film_white * 0.5f), out);
    EXPECT_LT(out[0], 255);
    film_tone(v3(k_film_white * 2.0f, 0.0f, 0.5f), out);  // a light burns out per channel
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], 0);
    EXPECT_GT(out[2], 0);
    EXPECT_LT(out[2], 255);
}

static float luma(vec3 c)
{
    return 0.2126f * c.x + 0.7152f * c.y + 0.0722f * c.z;
}

TEST(bloom, leaves_a_picture_without_bright_lights_untouched)
{
    const int w = 64, h = 48;
    std::vector<vec3> img(size_t(w * h));
    for (int i = 0; i < w * h; ++i)
        img[size_t(i)] = v3(0.1f + 0.8f * float(i % 7) / 7.0f, 0.5f, 2.0f * float(i % 3) / 3.0f);
    std::vector<vec3> before = img;
    add_bloom(img, w, h, 3.0f, 0.5f);
    for (size_t i = 0; i < img.size(); ++i) {
        ASSERT_EQ(img[i].x, before[i].x) << "pixel " << i;
        ASSERT_EQ(img[i].z, before[i].z) << "pixel " << i;
    }
}

TEST(bloom, spreads_only_the_excess_around_a_light_fading_with_distance)
{
    const int w = 200, h = 200;
    std::vector<vec3> img(size_t(w * h), v3(0.2f));
    for (int y = 98; y < 102; ++y)
        for (int x = 98; x < 102; ++x) img[size_t(y * w + x)] = v3(50.0f);
    std::vector<vec3> before = img;
    const float threshold = 3.0f, strength = 0.4f;
    add_bloom(img, w, h, threshold, strength);
    // Glow falls off outwards along a row, and is gone beyond the widest blur's reach.
    float prev = 1e9f;
    for (int x = 103; x < w; ++x) {
        float added = luma(img[size_t(100 * w + x)]) - luma(before[size_t(100 * w + x)]);
        ASSERT_GE(added, 0.0f);
        ASSERT_LE(added, prev + 1e-6f) << "at column " << x;
        prev = added;
    }
    EXPECT_GT(luma(img[size_t(100 * w + 110)]) - 0.2f, 0.01f) << "no glow next to the light";
    float reach = 3.0f * 0.045f * w + 3.0f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float r = std::hypot(x - 99.5f, y - 99.5f);
            if (r > reach * 1.42f) {
                ASSERT_EQ(luma(img[size_t(y * w + x)]), luma(before[size_t(y * w + x)])) << x << "," << y;
            }
        }
    // What is added is the excess over the threshold, times the strength: no light is made or lost.
    double added = 0.0;
    for (size_t i = 0; i < img.size(); ++i) added += luma(img[i]) - luma(before[i]);
    EXPECT_NEAR(added, 16.0 * (50.0 - threshold) * strength, 16.0 * (50.0 - threshold) * strength * 0.03);
}

TEST(footprint_noise, keeps_every_octave_for_a_point_and_fades_those_finer_than_the_footprint)
{
    float lost = -1.0f;
    for (int i = 0; i < 50; ++i) {
        float x = i * 0.731f - 9.0f, y = i * 0.377f + 2.0f;
        EXPECT_FLOAT_EQ(fbm2_footprint(x, y, 6, 15, 0.0f, &lost), fbm2(x, y, 6, 15));
        EXPECT_EQ(lost, 0.0f);
        EXPECT_EQ(fbm2_footprint(x, y, 6, 15, 2.0f, &lost), 0.0f)
            << "an octave half as wide as the footprint still shows";
        EXPECT_EQ(lost, 6.0f);
    }
    float prev = -1.0f;
    for (float fp = 0.0f; fp < 2.5f; fp += 0.01f) {
        fbm2_footprint(1.3f, 2.7f, 6, 15, fp, &lost);
        ASSERT_GE(lost, prev) << "at footprint " << fp;
        prev = lost;
    }
}

TEST(footprint_noise, is_closer_to_the_field_averaged_over_the_pixel_than_a_point_sample_is)
{
    // What a pixel should show is the field's mean over its footprint; a point sample of the fine
    // octaves is a random pick from it (the sparkle), the filtered value leaves them out.
    for (float fp : {0.05f, 0.2f}) {
        double point_err = 0.0, filtered_err = 0.0;
        for (int i = 0; i < 300; ++i) {
            float x = i * 0.913f, y = 3.1f + i * 0.271f;
            double mean = 0.0;
            for (int j = 0; j < 16; ++j)
                for (int k = 0; k < 16; ++k)
                    mean += fbm2(x + fp * ((k + 0.5f) / 16 - 0.5f), y + fp * ((j + 0.5f) / 16 - 0.5f), 6, 15);
            mean /= 256.0;
            point_err += std::fabs(fbm2(x, y, 6, 15) - mean);
            filtered_err += std::fabs(fbm2_footprint(x, y, 6, 15, fp, nullptr) - mean);
        }
        EXPECT_LT(filtered_err, point_err * 0.8) << "footprint " << fp;
    }
}

TEST(sky, stars_show_at_night_but_never_in_daylight)
{
    slide_look day = slide_look_for(5);
    day.stars = 1.0f;
    slide_look plain = day;
    plain.stars = 0.0f;
    slide_look night = day;
    night.body = body_moon;
    night.sun_elevation = 20.0f;
    night.zenith = night.horizon = v3(0.002f);
    night.clouds = 0.0f;
    set_sky_pixel_angle(0.002f);
    int differ_night = 0;
    for (int i = 0; i < 4000; ++i) {
        vec3 d = normalize(v3(std::sin(i * 0.37f) * 0.9f, 0.1f + 0.8f * float(i % 97) / 97.0f,
                              -1.0f + std::cos(i * 0.11f) * 0.5f));
        vec3 a = sky_colour(day, d, true), b = sky_colour(plain, d, true);
        ASSERT_EQ(a.x, b.x);
        ASSERT_EQ(a.y, b.y);
        slide_look dark = night;
        dark.stars = 0.0f;
        if (sky_colour(night, d, false).y != sky_colour(dark, d, false).y) ++differ_night;
    }
    EXPECT_GT(differ_night, 20) << "no stars in the night sky";
}

// The measure of grain the slides are held to.
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
