// Tests of the arrangement's voices and development: the backbeat and the counter-melody leave
// spectrum values 6 and 7 to the kick, the pan law and the widening keep the mono sum, and the
// phrases after the drop change.
#include "tools/soundtrack/bin_spectrum.h"
#include "tests/soundtrack/bus_values.h"
#include "tools/soundtrack/score.h"
#include "tools/soundtrack/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// The highest of values [from, until] over [t0, t1), read every 5 ms.
static float peak_value(const pcm& p, double t0, double t1, int from, int until)
{
    float peak = 0.0f;
    for (double t = t0; t < t1; t += 0.005)
        for (int k = from; k <= until; ++k) peak = std::max(peak, value_at(p, t, k));
    return peak;
}

// Values 35-139 are 1.5-6 kHz; the knock lights 6 and 7 at about 0.1-0.45 on the beat.
TEST(arrangement_voices, the_backbeat_cracks_above_1500_hz_and_leaves_values_6_and_7_dark)
{
    stereo_bus bus = make_bus(k_rate);
    drum_backbeat(&bus, 0.1, 0.8f);
    pcm a = as_pcm(bus);
    float crack = peak_value(a, 0.1, 0.2, 35, 139);
    EXPECT_GT(crack, 0.05f);
    EXPECT_LT(peak_value(a, 0.1, 0.5, 6, 7), 0.002f) << "the backbeat would move the model";
    EXPECT_LT(peak_value(a, 0.1, 0.5, 1, 20), 0.05f * crack) << "the backbeat has body under 900 Hz";
}

TEST(arrangement_voices, every_counter_melody_note_through_the_mix_notch_leaves_values_6_and_7_dark)
{
    for (int part = 0; part <= part_climax; ++part) {
        const part_layers& p = k_parts[part];
        if (p.counter_tune < 0 || p.counter <= 0.0f) continue;
        const phrase& tune = k_phrases[p.counter_tune];
        for (int i = 0; i < tune.count; ++i) {
            int note = tune.notes[i].note;
            stereo_bus bus = make_bus(k_rate);
            voice_counter(&bus, 0.05, 0.5, note, p.counter);
            fx_clear_bins_band(&bus);
            pcm a = as_pcm(bus);
            int own = (int)std::lround(midi_hz(note) * k_spectrum_size / k_rate);
            EXPECT_GT(peak_value(a, 0.2, 0.5, own, own), 0.02f) << "note " << note << " is not heard";
            EXPECT_LT(peak_value(a, 0.05, 0.9, 6, 7), 0.02f) << "part " << part << ", note " << note;
        }
    }
}

// Equal power: the same loudness wherever a voice stands, and a mono sum at most 3 dB down.
TEST(arrangement_mix, the_pan_law_keeps_the_power_and_loses_at_most_3_db_in_mono)
{
    for (int i = -12; i <= 12; ++i) {
        float pan = i / 10.0f, l, r;
        pan_gains(pan, &l, &r);
        EXPECT_NEAR(l * l + r * r, 1.0f, 1e-5f) << "pan " << pan;
        double mono = 0.25 * (l + r) * (l + r), pair = 0.5 * (l * l + r * r);
        EXPECT_GE(mono / pair, 0.5 - 1e-6) << "pan " << pan << ": more than 3 dB (half the power) lost";
        if (pan <= -1.0f) {
            EXPECT_NEAR(r, 0.0f, 1e-6f) << "hard left";
        }
    }
}

TEST(arrangement_mix, widening_leaves_the_mono_sum_as_it_was_and_scales_the_sides)
{
    stereo_bus bus = make_bus(k_rate / 4);
    uint32_t seed = 11;
    for (size_t i = 0; i < bus.left.size(); ++i) {
        float common = noise_white(&seed), own = noise_white(&seed);
        bus.left[i] = 0.4f * common + 0.2f * own;
        bus.right[i] = 0.4f * common - 0.1f * own;
    }
    stereo_bus wide = bus;
    fx_widen(&wide, 1.6f);
    for (size_t i = 0; i < bus.left.size(); ++i) {
        ASSERT_NEAR(wide.left[i] + wide.right[i], bus.left[i] + bus.right[i], 1e-6f) << "sample " << i;
        ASSERT_NEAR(wide.left[i] - wide.right[i], 1.6f * (bus.left[i] - bus.right[i]), 1e-6f) << "sample " << i;
    }
}

static bool same_layers(const part_layers& a, const part_layers& b)
{
    return a.kick == b.kick && a.clap == b.clap && a.hats == b.hats && a.open_hats == b.open_hats &&
        a.pulse == b.pulse && a.sub == b.sub && a.bass == b.bass && a.pad == b.pad && a.low_pad == b.low_pad &&
        a.arp == b.arp && a.stab_on_pictures == b.stab_on_pictures && a.stab_offbeat == b.stab_offbeat &&
        a.lead == b.lead && a.bell_lead == b.bell_lead && a.ghost_hats == b.ghost_hats &&
        a.backbeat == b.backbeat && a.counter == b.counter && a.counter_tune == b.counter_tune &&
        a.bass_line == b.bass_line && a.arp_open == b.arp_open && a.fill == b.fill;
}

// After the drop every four bars bring something a listener hears: what plays, or how, changes.
TEST(arrangement_score, each_phrase_after_the_drop_plays_other_layers_than_the_one_before)
{
    double beat = k_first_bar_beat;
    int last_part = -1, phrases = 0;
    for (int i = 0; i < k_bar_count; beat += k_bars[i].beats, ++i) {
        double t = beat_time(beat);
        if (t < k_model_scene_at - 1e-9 || std::fmod(t - k_model_scene_at + 1e-9, 4 * 4 * k_beat) > 1e-6) continue;
        if (last_part >= 0) {
            EXPECT_FALSE(same_layers(k_parts[last_part], k_parts[k_bars[i].part])) << "the phrase at " << t << " s";
        }
        last_part = k_bars[i].part;
        ++phrases;
    }
    EXPECT_GE(phrases, 6) << "phrases from the drop to the last chord";
}
