// Tests of the soundtrack generator's parts: the score's cues, the voices on the spectrum bins,
// the master limiter and the gapless MP3 round trip.
#include "bin_spectrum.h"
#include "score.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "platform/bass_internal.h"

namespace {
const double k_pi = 3.14159265358979323846;

std::int16_t to_s16(float x)
{
    return (std::int16_t)std::clamp(std::lround(x * 32768.0f), -32768L, 32767L);
}

// The bus as the audio layer holds a decoded file, so the show's own spectrum reads it.
std::unique_ptr<bass_stream> as_stream(const stereo_bus& bus)
{
    auto s = std::make_unique<bass_stream>();
    s->rate = k_rate;
    s->frames = (std::int64_t)bus.left.size();
    for (size_t i = 0; i < bus.left.size(); ++i) {
        s->pcm.push_back(to_s16(bus.left[i]));
        s->pcm.push_back(to_s16(bus.right[i]));
    }
    return s;
}

float value_at(const bass_stream* s, double t, int k)
{
    if (!start_spectrum_layer()) {
        ADD_FAILURE() << "the audio layer did not start on its no-sound device";
        return 0.0f;
    }
    float values[k_spectrum_size / 2];
    spectrum_at(s, t, values);
    return values[k];
}

double start_of_part(int part)
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) {
        if (k_bars[i].part == part) return beat_time(beat);
        beat += k_bars[i].beats;
    }
    return -1.0;
}

double end_of_bars()
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) beat += k_bars[i].beats;
    return beat_time(beat);
}
}  // namespace

// The music is composed to the picture: these are the show's cue times.
TEST(Score, SectionsLandOnTheShowsCues)
{
    EXPECT_NEAR(start_of_part(part_dawn), -0.2, 1e-9);  // bars run on the beat grid through the intro
    EXPECT_NEAR(start_of_part(part_slides), 11.8, 1e-9);
    EXPECT_NEAR(start_of_part(part_fill), 27.8, 1e-9);
    EXPECT_NEAR(start_of_part(part_drop), 29.3, 1e-9);
    double last_hit = end_of_bars();
    EXPECT_NEAR(last_hit, 82.8, 1e-9);
    EXPECT_GE(k_piece_length, 84.0) << "the last hit needs its tail past the show's end at 83 s";
}

TEST(Score, ChordsKeepTheBinsForTheMidBass)
{
    for (int c = 0; c <= chord_a; ++c) {
        double pulse = midi_hz(k_chords[c].pulse);
        EXPECT_GE(pulse, 250.0) << "chord " << c;
        EXPECT_LE(pulse, 315.0) << "chord " << c;
        EXPECT_LT(midi_hz(k_chords[c].sub), 125.0) << "chord " << c;
        for (int note : k_chords[c].pad) EXPECT_GE(midi_hz(note), 345.0) << "chord " << c;
    }
}

TEST(Voices, PulseLightsBinsSixAndSevenAndIsGoneByTheOffBeat)
{
    for (int note : {60, 61, 62}) {
        stereo_bus bus = make_bus(k_rate);
        voice_pulse(&bus, 0.1, note, 0.3f);
        std::unique_ptr<bass_stream> a = as_stream(bus);
        float on6 = value_at(a.get(), 0.135, 6), on7 = value_at(a.get(), 0.135, 7);
        EXPECT_GT(std::max(on6, on7), 0.25f) << "note " << note;
        EXPECT_GT(std::min(on6, on7), 0.1f) << "note " << note;
        EXPECT_LT(value_at(a.get(), 0.35, 6), 0.1f * on6) << "note " << note;
        EXPECT_LT(value_at(a.get(), 0.35, 7), 0.1f * on7) << "note " << note;
    }
}

TEST(Voices, SubBassStaysOutOfBinsSixAndSeven)
{
    for (int c = 0; c <= chord_a; ++c) {
        stereo_bus bus = make_bus(k_rate);
        voice_sub(&bus, 0.0, 0.8, k_chords[c].sub, 0.55f, 0.006);
        std::unique_ptr<bass_stream> a = as_stream(bus);
        float low = std::max({value_at(a.get(), 0.4, 1), value_at(a.get(), 0.4, 2), value_at(a.get(), 0.4, 3)});
        EXPECT_GT(low, 0.2f) << "chord " << c;
        EXPECT_LT(value_at(a.get(), 0.4, 6), 0.01f) << "chord " << c;
        EXPECT_LT(value_at(a.get(), 0.4, 7), 0.01f) << "chord " << c;
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

TEST(Limiter, HoldsEveryPeakUnderTheCeilingWithoutMutingIt)
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

TEST(Limiter, LeavesQuietPassagesAloneAndMovesTheGainSmoothly)
{
    std::vector<float> original;
    stereo_bus bus = burst_signal(&original);
    fx_limit(&bus, 0.84f, 0.005, 0.08);
    for (long n = 0; n < to_sample(0.39); ++n) ASSERT_EQ(bus.left[n], original[n]) << "sample " << n;
    for (long n = to_sample(1.5); n < 2 * k_rate; ++n) ASSERT_NEAR(bus.left[n], original[n], 1e-4f) << "sample " << n;
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
TEST(Mp3, RoundTripIsGaplessAndKeepsTheLevel)
{
    const double hz = 7.0 * k_rate / k_spectrum_size;
    stereo_bus bus = make_bus(2 * k_rate);
    for (long n = k_rate; n < 2 * k_rate; ++n) {
        bus.left[n] = 0.5f * (float)std::sin(2.0 * k_pi * hz * n / k_rate);
        bus.right[n] = bus.left[n];
    }
    std::string path = testing::TempDir() + "vellamor_roundtrip_" + std::to_string(getpid()) + ".mp3";
    ASSERT_TRUE(encode_mp3(bus, path.c_str(), 192));
    const bass_stream* a = open_soundtrack(path.c_str());
    unlink(path.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->rate, k_rate);
    EXPECT_EQ(a->frames, 2L * k_rate);
    EXPECT_LT(value_at(a, 1.0, 7), 0.03f);
    EXPECT_NEAR(value_at(a, 1.0 + 1100.0 / k_rate, 7), 0.5f, 0.02f);
    EXPECT_NEAR(value_at(a, 1.5, 6), 0.25f, 0.02f);
    BASS_Free();
}
