// The capture feeds each frame the spectrum the soundtrack has at the previous frame: across the
// model scene the model jumps right on the beats and is back at rest between them.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/capture/capture_run.h"

// The soundtrack's beat: every half second from 11.8 s. The capture's frames see the spectrum
// taken one frame (1/60 s at its default rate) before them.
static const double k_first_beat = 11.8;
static const double k_beat = 0.5;
static const double k_frame = 1.0 / 60;
static const int k_beats = 4;
static const double k_beat_from = 40.3;  // a beat, under the credits of the model scene

// The mean column of the pixels where two frames differ by more than a little; -1 when none do.
static double mean_column_of_difference(const png_pixels& a, const png_pixels& b, long& count)
{
    double sum = 0;
    count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 3;
            int d = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
            if (d <= 24) continue;
            sum += x;
            ++count;
        }
    }
    return count ? sum / count : -1;
}

// Where the model stands in a frame, as the mean column of its visible pixels: the frame against
// the same frame with the model carried far off screen to the right.
static double model_column(const png_pixels& frame, const png_pixels& without_model)
{
    long count = 0;
    return mean_column_of_difference(frame, without_model, count);
}

static std::string still(const std::string& dir, double t)
{
    char name[32];
    std::snprintf(name, sizeof name, "/t%05.1f.png", t);
    return dir + name;
}

TEST(capture_spectrum, the_model_jumps_right_on_the_beat_and_rests_between)
{
    // for each beat, a frame seeing the spectrum 0.05 s after it, and one seeing it 0.25 s after
    std::vector<double> on_beat, between;
    std::string times;
    for (int b = 0; b < k_beats; ++b) {
        double beat = k_beat_from + b * k_beat;
        ASSERT_NEAR(std::remainder(beat - k_first_beat, k_beat), 0.0, 1e-9);
        on_beat.push_back(beat + 0.05 + k_frame);
        between.push_back(beat + 0.25 + k_frame);
        times += (b ? "," : "") + std::to_string(on_beat.back()) + "," + std::to_string(between.back());
    }
    std::string live = scratch_folder("beat-live"), rest = scratch_folder("beat-rest"),
                gone = scratch_folder("beat-gone");
    for (const std::string& dir : {live, rest, gone}) {
        std::string spectrum = dir == rest ? " --spectrum 0,0" : dir == gone ? " --spectrum 0,4" : "";
        ASSERT_EQ(run_capture("--times " + times + spectrum + " --frames '" + dir + "' --out '" + dir + "/s.png'"), 0);
    }

    // how far right of its rest position the model stands at t
    auto moved = [&](double t) {
        png_pixels without_model = read_png(still(gone, t));
        EXPECT_FALSE(without_model.rgb.empty()) << still(gone, t);
        if (without_model.rgb.empty()) return 0.0;
        return model_column(read_png(still(live, t)), without_model) -
            model_column(read_png(still(rest, t)), without_model);
    };
    // a spectrum value of 0.1 moves the model 0.38 units, about 90 pixels at its depth; on these
    // beats the values reach 0.11 and more, between beats they stay near 0.02. How many of the
    // model's pixels stand out from the backdrop depends on what its chrome reflects, so the bound
    // on the beat keeps a margin: twice the bound between beats.
    for (double t : on_beat) EXPECT_GT(moved(t), 70.0) << "at " << t << " s, on the beat";
    for (double t : between) EXPECT_LT(std::fabs(moved(t)), 35.0) << "at " << t << " s, between beats";
}
