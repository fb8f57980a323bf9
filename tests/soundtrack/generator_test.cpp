// Tests of the soundtrack generator's parts: the score's cues, the voices on the spectrum bins,
// the master limiter and the gapless MP3 round trip.
#include "tests/soundtrack/bus_values.h"
#include "tools/soundtrack/bin_spectrum.h"
#include "tools/soundtrack/score.h"
#include "tools/soundtrack/synth.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {
const double k_pi = 3.14159265358979323846;

double end_of_bars()
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) beat += k_bars[i].beats;
    return beat_time(beat);
}
}  // namespace

// The music is composed to the picture: these are the show's cue times.
TEST(score, sections_land_on_the_shows_cues)
{
    EXPECT_NEAR(part_start(part_dawn), -0.2, 1e-9);  // bars run on the beat grid through the intro
    EXPECT_NEAR(part_start(part_slides), k_first_slide_at, 1e-9);
    EXPECT_NEAR(part_start(part_fill), k_slide_at[16], 1e-9);
    EXPECT_NEAR(part_start(part_drop), k_model_scene_at, 1e-9);
    EXPECT_GT(k_lift_silence_from, k_slide_at[18]) << "the last picture before the drop keeps its stab";
    EXPECT_LT(k_lift_silence_from, k_model_scene_at);
    // the last chord lands on a beat, with time to ring out before the show ends
    double last = end_of_bars();
    EXPECT_NEAR(final_chord_time(), last, 1e-9);
    double beats = (last - k_first_slide_at) / k_beat;
    EXPECT_NEAR(beats, std::round(beats), 1e-9);
    EXPECT_LE(last, k_show_end - 3.0);
    EXPECT_GE(k_piece_length, k_show_end + 1.0) << "the file must outlast the show";
}

// The break is the only stretch of the model scene without the kick; it keeps a pulse of its own.
TEST(score, the_break_drops_the_kick_but_keeps_the_pulse)
{
    int kickless_bars = 0;
    for (int i = 0; i < k_bar_count; ++i) {
        const part_layers& p = k_parts[k_bars[i].part];
        if (part_start(k_bars[i].part) < k_model_scene_at) continue;
        EXPECT_GT(p.pulse, 0.0f) << "bar " << i;
        kickless_bars += p.kick == 0.0f;
    }
    EXPECT_GE(kickless_bars, 3);
    EXPECT_GT(part_start(part_break), 0.5 * k_show_end) << "the break belongs in the second half";
}

TEST(score, chords_keep_the_bins_for_the_mid_bass)
{
    for (int c = 0; c <= chord_a; ++c) {
        double pulse = midi_hz(k_chords[c].pulse);
        EXPECT_GE(pulse, 250.0) << "chord " << c;
        EXPECT_LE(pulse, 315.0) << "chord " << c;
        EXPECT_LT(midi_hz(k_chords[c].sub), 125.0) << "chord " << c;
        for (int note : k_chords[c].pad) EXPECT_GE(midi_hz(note), 345.0) << "chord " << c;
        // the low voices play under the bins, so only their overtones need the notch
        for (int note : k_chords[c].low_pad) EXPECT_LE(midi_hz(note), 180.0) << "chord " << c;
        EXPECT_LE(midi_hz(k_chords[c].bass + 12), 180.0) << "chord " << c << ": the bass line's octave";
    }
}

TEST(voices, pulse_lights_bins_six_and_seven_and_is_gone_by_the_off_beat)
{
    for (int note : {60, 61, 62}) {
        stereo_bus bus = make_bus(k_rate);
        voice_pulse(&bus, 0.1, note, 0.3f);
        pcm a = as_pcm(bus);
        float on6 = value_at(a, 0.135, 6), on7 = value_at(a, 0.135, 7);
        EXPECT_GT(std::max(on6, on7), 0.25f) << "note " << note;
        EXPECT_GT(std::min(on6, on7), 0.1f) << "note " << note;
        EXPECT_LT(value_at(a, 0.35, 6), 0.1f * on6) << "note " << note;
        EXPECT_LT(value_at(a, 0.35, 7), 0.1f * on7) << "note " << note;
    }
}

TEST(voices, sub_bass_stays_out_of_bins_six_and_seven)
{
    for (int c = 0; c <= chord_a; ++c) {
        stereo_bus bus = make_bus(k_rate);
        voice_sub(&bus, 0.0, 0.8, k_chords[c].sub, 0.55f, 0.006);
        pcm a = as_pcm(bus);
        float low = std::max({value_at(a, 0.4, 1), value_at(a, 0.4, 2), value_at(a, 0.4, 3)});
        EXPECT_GT(low, 0.2f) << "chord " << c;
        EXPECT_LT(value_at(a, 0.4, 6), 0.01f) << "chord " << c;
        EXPECT_LT(value_at(a, 0.4, 7), 0.01f) << "chord " << c;
    }
}

// A quiet tone with a loud burst from 0.4 to 0.5 s.
stereo_bus burst_signal(std::vector<float>* original)
{
    stereo_bus bus = make_bus(2 * k_rate);
    for (long n = 0; n < 2 * k_rate; ++n) {
        double t = (double)n / k_rate;
        float amp = t >= 0.4 && t < 0.5 ? 2.0f : 0.3f;
        bus.left[n] = amp * (float)std::sin(2.0 * k_pi * 440.0 * t);
        bus.right[n] = 0.8f * bus.left[n];
    }
    *original = bus.left;
    return bus;
}

TEST(limiter, holds_every_peak_under_the_ceiling_without_muting_it)
{
    std::vector<float> original;
    stereo_bus bus = burst_signal(&original);
    fx_limit(&bus, 0.84f, 0.005, 0.08);
    float peak = 0.0f, burst_peak = 0.0f;
    for (long n = 0; n < 2 * k_rate; ++n) {
        peak = std::max({peak, std::fabs(bus.left[n]), std::fabs(bus.right[n])});
        if (n > to_sample(0.42) && n < to_sample(0.48)) burst_peak = std::max(burst_peak, std::fabs(bus.left[n]));
    }
    EXPECT_LE(peak, 0.84f + 1e-6f);
    EXPECT_GT(burst_peak, 0.8f);
}

TEST(limiter, leaves_quiet_passages_alone_and_moves_the_gain_smoothly)
{
    std::vector<float> original;
    stereo_bus bus = burst_signal(&original);
    fx_limit(&bus, 0.84f, 0.005, 0.08);
    for (long n = 0; n < to_sample(0.39); ++n) ASSERT_EQ(bus.left[n], original[n]) << "sample " << n;
    for (long n = to_sample(1.5); n < 2 * k_rate; ++n)
        ASSERT_NEAR(bus.left[n], original[n], 1e-4f) << "sample " << n;
    // the gain is read where the signal is large enough to divide by; a hard switch would move
    // it by about 0.5 in one sample
    float last_gain = 1.0f, worst_slope = 0.0f;
    long last_n = 0;
    for (long n = 0; n < 2 * k_rate; ++n) {
        if (std::fabs(original[n]) < 0.25f) continue;
        float gain = bus.left[n] / original[n];
        if (last_n > 0) worst_slope = std::max(worst_slope, std::fabs(gain - last_gain) / (n - last_n));
        last_gain = gain;
        last_n = n;
    }
    EXPECT_LT(worst_slope, 0.005f);
}

// Position 0 of the decoded file is the first rendered sample: the info tag tells the decoder
// to drop the encoder delay and the padding, so a tone starting at 1 s is heard at 1 s.
TEST(mp3, round_trip_is_gapless_and_keeps_the_level)
{
    const double hz = 7.0 * k_rate / k_spectrum_size;
    stereo_bus bus = make_bus(2 * k_rate);
    for (long n = k_rate; n < 2 * k_rate; ++n) {
        bus.left[n] = 0.5f * (float)std::sin(2.0 * k_pi * hz * n / k_rate);
        bus.right[n] = bus.left[n];
    }
    std::string path = testing::TempDir() + "vellamor_roundtrip_" + std::to_string(getpid()) + ".mp3";
    ASSERT_TRUE(encode_mp3(bus, path.c_str(), 192));
    decoded_music music;
    bool opened = open_decoded_music(path.c_str(), music);
    unlink(path.c_str());
    ASSERT_TRUE(opened);
    EXPECT_EQ(music.rate, k_rate);
    EXPECT_EQ(music.frames, 2L * k_rate);
    pcm a(music.samples, music.samples + 2 * music.frames);
    EXPECT_LT(value_at(a, 1.0, 7), 0.03f);
    EXPECT_NEAR(value_at(a, 1.0 + 1100.0 / k_rate, 7), 0.5f, 0.02f);
    EXPECT_NEAR(value_at(a, 1.5, 6), 0.25f, 0.02f);
    close_decoded_music(music);
}

namespace {
// Mean of value k over the frames of [from, until), read through the show's own spectrum.
double mean_value(const pcm& s, double from, double until, int k)
{
    double sum = 0.0;
    int n = 0;
    for (double t = from; t < until; t += 0.01, ++n) sum += value_at(s, t, k);
    return sum / n;
}

// The Dm chord's low voices as the groove plays them: low pads held, the bass line's octave.
stereo_bus low_voices()
{
    stereo_bus bus = make_bus(2 * k_rate);
    for (int note : k_chords[chord_dm].low_pad) voice_pad(&bus, 0.0, 1.6, note, 0.2f, 0.6f);
    for (int s = 0; s < 12; ++s)
        voice_bass(&bus, 0.25 + s * 0.125, 0.11, k_chords[chord_dm].bass + (s % 2) * 12, 0.3f);
    return bus;
}
}  // namespace

// The notch takes the low voices' overtones off values 6 and 7 and leaves the low mids under them.
TEST(mix, notch_quiets_the_bins_band_and_keeps_the_band_below)
{
    stereo_bus plain = low_voices(), notched = low_voices();
    fx_clear_bins_band(&notched);
    pcm a = as_pcm(plain), b = as_pcm(notched);
    for (int k : {6, 7}) {
        double before = mean_value(a, 0.8, 1.6, k), after = mean_value(b, 0.8, 1.6, k);
        EXPECT_GT(before, 0.01) << "value " << k << ": the voices should reach the bins unfiltered";
        EXPECT_LT(after, 0.25 * before) << "value " << k;
        EXPECT_LT(after, 0.01) << "value " << k;
    }
    for (int k : {2, 3, 4}) {
        double before = mean_value(a, 0.8, 1.6, k), after = mean_value(b, 0.8, 1.6, k);
        EXPECT_GT(after, 0.7 * before) << "value " << k << " (" << k * 43 << " Hz) lost its level";
    }
}

// The knock is what lights the bins on the beat, and like the pulse it is gone by the off-beat;
// a kick without it leaves the bins nearly dark.
TEST(voices, kick_knock_lights_the_bins_on_the_beat_only)
{
    for (int note : {60, 61, 62}) {
        stereo_bus with = make_bus(k_rate), without = make_bus(k_rate);
        drum_kick(&with, 0.1, 0.42f, note, 0.6f);
        drum_kick(&without, 0.1, 0.42f, note, 0.0f);
        pcm a = as_pcm(with), b = as_pcm(without);
        float on6 = value_at(a, 0.135, 6), on7 = value_at(a, 0.135, 7);
        EXPECT_GT(std::min(on6, on7), 0.1f) << "note " << note;
        EXPECT_LT(std::max(on6, on7), 0.58f) << "note " << note;
        EXPECT_LT(value_at(a, 0.35, 6), 0.1f * on6) << "note " << note;
        EXPECT_LT(value_at(a, 0.35, 7), 0.1f * on7) << "note " << note;
        EXPECT_LT(std::max(value_at(b, 0.135, 6), value_at(b, 0.135, 7)), 0.25f * std::max(on6, on7));
    }
}

// The lift: the fill darkens towards the drop, then the music stops until the drop exactly.
TEST(mix, lift_closes_the_filter_then_falls_silent_until_the_drop)
{
    stereo_bus bus = make_bus(3 * k_rate);
    uint32_t seed = 7;
    for (long n = 0; n < 3 * k_rate; ++n) bus.left[n] = bus.right[n] = 0.5f * noise_white(&seed);
    std::vector<float> original = bus.left;
    fx_lowpass_sweep(&bus, 0.5, 1.5, 12000.0f, 300.0f);
    fx_silence(&bus, 1.5, 2.0, 0.03);
    pcm s = as_pcm(bus);
    double early_high = mean_value(s, 0.6, 0.7, 100), late_high = mean_value(s, 1.4, 1.5, 100);
    EXPECT_LT(late_high, 0.03 * early_high) << "4.3 kHz should be filtered out by the end of the fill";
    EXPECT_GT(mean_value(s, 1.4, 1.5, 3), 0.3 * mean_value(s, 0.6, 0.7, 3)) << "the low end stays";
    for (long n = 0; n < to_sample(0.5); ++n) ASSERT_EQ(bus.left[n], original[n]) << "sample " << n;
    for (long n = to_sample(1.53); n < to_sample(2.0); ++n) ASSERT_EQ(bus.left[n], 0.0f) << "sample " << n;
    for (long n = to_sample(2.0); n < 3 * k_rate; ++n) ASSERT_EQ(bus.left[n], original[n]) << "sample " << n;
}
