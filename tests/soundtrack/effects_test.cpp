// Tests of the generator's sound sources and effects: band-limited saw, echoes, beat ducking, reverb tail.
#include "tools/soundtrack/synth.h"

#include <gtest/gtest.h>

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Magnitudes of a Hann-windowed transform of n samples.
std::vector<float> magnitudes(const std::vector<float>& x, int n)
{
    kiss_fftr_cfg cfg = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    std::vector<float> in(n);
    std::vector<kiss_fft_cpx> out(n / 2 + 1);
    for (int i = 0; i < n; ++i) in[i] = x[i] * (float)(0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * i / n));
    kiss_fftr(cfg, in.data(), out.data());
    kiss_fftr_free(cfg);
    std::vector<float> m(n / 2);
    for (int k = 0; k < n / 2; ++k) m[k] = std::hypot(out[k].r, out[k].i);
    return m;
}

float peak_of(const std::vector<float>& v, long from, long until)
{
    float p = 0.0f;
    for (long i = std::max(0L, from); i < std::min((long)v.size(), until); ++i) p = std::max(p, std::fabs(v[i]));
    return p;
}
}  // namespace

// Loudest component that is not a harmonic of a 1884 Hz saw, in dB below the fundamental.
double worst_alias_db(bool smoothed)
{
    const int n = 16384, bin = 700;
    const double step = (44100.0 * bin / n) / k_rate;  // on a bin centre
    std::vector<float> x(n);
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        x[i] = smoothed ? osc_saw(phase, step) : (float)(2.0 * phase - 1.0);
        phase += step;
        if (phase >= 1.0) phase -= 1.0;
    }
    std::vector<float> m = magnitudes(x, n);
    float worst = 0.0f;
    for (int k = 20; k < n / 2; ++k) {
        int nearest = (int)std::lround((double)k / bin) * bin;
        if (std::abs(k - nearest) > 3) worst = std::max(worst, m[k]);
    }
    return 20.0 * std::log10(worst / m[bin]);
}

// A high saw folds its overtones back below Nyquist unless its jumps are smoothed.
TEST(oscillators, high_saw_keeps_its_aliases_far_below_the_tone)
{
    double smoothed = worst_alias_db(true), naive = worst_alias_db(false);
    EXPECT_LT(smoothed, -25.0);
    EXPECT_LT(smoothed, naive - 6.0) << "naive saw: " << naive << " dB";
}

TEST(effects, ping_pong_echoes_alternate_sides_and_fade)
{
    stereo_bus in = make_bus(3 * k_rate), out = make_bus(3 * k_rate);
    in.left[100] = in.right[100] = 1.0f;
    fx_pingpong(in, &out, 0.375, 0.45f, 1.0f);
    long d = to_sample(0.375);
    float first_left = peak_of(out.left, 100 + d - 5, 100 + d + 5);
    float first_right = peak_of(out.right, 100 + d - 5, 100 + d + 5);
    float second_right = peak_of(out.right, 100 + 2 * d - 20, 100 + 2 * d + 20);
    float second_left = peak_of(out.left, 100 + 2 * d - 20, 100 + 2 * d + 20);
    EXPECT_NEAR(first_left, 1.0f, 1e-6f);
    EXPECT_EQ(first_right, 0.0f);
    EXPECT_GT(second_right, 0.05f);
    EXPECT_LT(second_right, 0.45f);
    EXPECT_LT(second_left, 1e-6f);
    EXPECT_EQ(peak_of(out.left, 0, 100 + d - 5), 0.0f) << "nothing before the first echo";
}

TEST(effects, ducking_dips_on_the_shows_beats_and_recovers_between_them)
{
    stereo_bus bus = make_bus(20 * k_rate);
    std::fill(bus.left.begin(), bus.left.end(), 1.0f);
    std::fill(bus.right.begin(), bus.right.end(), 1.0f);
    fx_duck(&bus, 11.0, 20.0, 0.5f, 0.1);
    for (double beat : {0.0, 1.0, 7.0, 15.0}) {
        long on = to_sample(beat_time(beat));
        EXPECT_NEAR(bus.left[on], 0.5f, 1e-3f) << "beat " << beat;
        EXPECT_GT(bus.left[on + to_sample(0.45)], 0.98f) << "beat " << beat;
        EXPECT_GT(bus.left[on - 1], 0.99f) << "the dip starts on the beat, not before it";
    }
    EXPECT_EQ(bus.left[to_sample(10.9)], 1.0f) << "untouched before the span";
}

TEST(effects, reverb_rings_on_both_sides_differently_and_dies)
{
    stereo_bus in = make_bus(6 * k_rate), out = make_bus(6 * k_rate);
    in.left[0] = in.right[0] = 1.0f;
    fx_reverb(in, &out, 0.85f, 0.45f, 1.0f);
    double early = 0.0, late = 0.0, difference = 0.0;
    for (long n = 0; n < to_sample(0.5); ++n) early += out.left[n] * out.left[n];
    for (long n = to_sample(5.0); n < to_sample(5.5); ++n) late += out.left[n] * out.left[n];
    for (long n = 0; n < to_sample(0.5); ++n) difference += std::fabs(out.left[n] - out.right[n]);
    EXPECT_GT(early, 0.0);
    EXPECT_LT(late, early * 1e-4) << "the tail must die away";
    EXPECT_GT(difference, 0.01) << "the two sides should not be copies";
}
