// Percussion and sweeps: kick, snare, backbeat snare, clap, hats, crash, toms, risers, reverse cymbal, impact.
#include "tools/soundtrack/synth.h"

#include <algorithm>
#include <cmath>

namespace {
const double k_pi = 3.14159265358979323846;

void put(stereo_bus* bus, long i, float l, float r)
{
    if (i < 0 || i >= (long)bus->left.size()) return;
    bus->left[i] += l;
    bus->right[i] += r;
}

// Every hit gets its own noise seed from its start time, so renders repeat exactly.
uint32_t seed_at(double start, uint32_t salt)
{
    uint32_t s = (uint32_t)to_sample(start) * 2654435761u ^ salt;
    return s ? s : 1u;
}

// Swells stop at their loudest; a few milliseconds of fade keep that from clicking.
float end_fade(long samples_left)
{
    const long fade = 300;
    return samples_left >= fade ? 1.0f : (float)samples_left / fade;
}

// Six detuned square waves, the metallic body of cymbals and hats.
float metal(double t)
{
    const double hz[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    float sum = 0.0f;
    for (double f : hz) sum += std::fmod(t * f * 1.7, 1.0) < 0.5 ? 1.0f : -1.0f;
    return sum / 6.0f;
}
}  // namespace

void drum_kick(stereo_bus* bus, double start, float level, double knock_note, float knock_level)
{
    long first = to_sample(start);
    long count = to_sample(0.45);
    double phase = 0.0, knock_phase = 0.0, knock_hz = midi_hz(knock_note);
    uint32_t seed = seed_at(start, 0x4b1c);
    svf_state click, shell;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        double hz = 47.0 + 150.0 * std::exp(-t / 0.022) + 30.0 * std::exp(-t / 0.1);
        phase += hz / k_rate;
        float body = (float)std::tanh(1.4 * std::sin(2.0 * k_pi * phase)) * env_perc(t, 0.001, 0.2);
        if (t > 0.35) body *= (float)std::max(0.0, 1.0 - (t - 0.35) / 0.1);
        float tick = svf_run(&click, noise_white(&seed), 3000.0f, 0.8f).band * env_perc(t, 0.0005, 0.004);
        // the knock is struck a little sharp and settles on its note as the skin relaxes, with a
        // short rattle of the shell, so it is heard as the drum's body and not as a held tone
        knock_phase += knock_hz * (1.0 + 0.35 * std::exp(-t / 0.007)) / k_rate;
        float knock = (float)std::sin(2.0 * k_pi * knock_phase) * env_perc(t, 0.0015, 0.07);
        if (t > 0.22) knock *= (float)std::max(0.0, 1.0 - (t - 0.22) / 0.06);
        float rattle = svf_run(&shell, noise_white(&seed), 1400.0f, 1.2f).band * env_perc(t, 0.001, 0.012);
        float v = level * (0.9f * body + 0.5f * tick) + knock_level * (1.1f * knock + 0.25f * rattle);
        // one drum: the knock and the body saturate together
        v = (float)std::tanh(1.2 * v) / 1.2f;
        put(bus, first + n, v, v);
    }
}

void drum_snare(stereo_bus* bus, double start, float level)
{
    long first = to_sample(start);
    long count = to_sample(0.9);
    uint32_t seed = seed_at(start, 0x5a4e);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float tone = (float)(0.6 * std::sin(2.0 * k_pi * 185.0 * t) + 0.4 * std::sin(2.0 * k_pi * 330.0 * t)) *
            env_perc(t, 0.001, 0.045);
        float nl = svf_run(&fl, noise_white(&seed), 4200.0f, 0.6f).band;
        float nr = svf_run(&fr, noise_white(&seed), 4600.0f, 0.6f).band;
        float ne = env_perc(t, 0.001, 0.11);
        put(bus, first + n, level * (0.5f * tone + 0.9f * ne * nl), level * (0.5f * tone + 0.9f * ne * nr));
    }
}

void drum_clap(stereo_bus* bus, double start, float level)
{
    long first = to_sample(start);
    long count = to_sample(1.0);
    uint32_t seed = seed_at(start, 0xc1a9);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        // three quick bursts, then the room
        double e = 0.0;
        for (int k = 0; k < 3; ++k) e = std::max(e, (double)env_perc(t - 0.011 * k, 0.0005, 0.006));
        e = std::max(e, 0.55 * env_perc(t - 0.022, 0.001, 0.13));
        float l = svf_run(&fl, noise_white(&seed), 1300.0f, 1.6f).band;
        float r = svf_run(&fr, noise_white(&seed), 1450.0f, 1.6f).band;
        put(bus, first + n, level * (float)e * l * 1.6f, level * (float)e * r * 1.6f);
    }
}

// Two ringing modes of the head and a burst of snares, each side a little different; the high pass
// (24 dB an octave) takes what is left below 1 kHz, so the backbeat never lights the spectrum bins.
void drum_backbeat(stereo_bus* bus, double start, float level)
{
    long first = to_sample(start);
    long count = to_sample(0.5);
    uint32_t seed = seed_at(start, 0xbacb), side_seed = seed_at(start, 0x5bde);
    svf_state crack[2], rattle[2], low_cut[2][2];
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float head = (float)(0.6 * std::sin(2.0 * k_pi * 1850.0 * t) + 0.4 * std::sin(2.0 * k_pi * 2900.0 * t)) *
            env_perc(t, 0.0005, 0.018);
        float common = noise_white(&seed), side = noise_white(&side_seed);
        float out[2];
        for (int c = 0; c < 2; ++c) {
            float src = 0.75f * common + (c ? -0.4f : 0.4f) * side;
            float body = svf_run(&crack[c], src, 2400.0f, 0.9f).band * env_perc(t, 0.0008, 0.07);
            float snares = svf_run(&rattle[c], src, 6000.0f, 0.7f).band * env_perc(t, 0.001, 0.1);
            // saturated, so the crack is dense rather than one tall peak for the limiter to catch
            float v = level * (float)std::tanh(2.5 * (0.5f * head + 1.3f * body + 0.6f * snares));
            v = svf_run(&low_cut[c][0], v, 1000.0f, 0.7f).high;
            out[c] = svf_run(&low_cut[c][1], v, 1000.0f, 0.7f).high;
        }
        put(bus, first + n, out[0], out[1]);
    }
}

void drum_hat(stereo_bus* bus, double start, float level, bool open)
{
    long first = to_sample(start);
    double decay = open ? 0.22 : 0.035;
    long count = to_sample(decay * 7.0);
    uint32_t seed = seed_at(start, open ? 0x0be7u : 0xc105u);
    svf_state filt;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float src = 0.6f * noise_white(&seed) + 0.4f * metal(t);
        float v = level * env_perc(t, 0.0005, decay) * svf_run(&filt, src, 7500.0f, 0.9f).high;
        put(bus, first + n, v * 0.8f, v);
    }
}

void drum_crash(stereo_bus* bus, double start, float level)
{
    long first = to_sample(start);
    long count = to_sample(6.0);
    uint32_t sl = seed_at(start, 0xc4a5), sr = seed_at(start, 0x5c4a);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float e = level * env_perc(t, 0.001, 0.75);
        float m = 0.3f * metal(t * 1.3);
        float l = svf_run(&fl, noise_white(&sl) + m, 4500.0f, 0.7f).high;
        float r = svf_run(&fr, noise_white(&sr) + m, 4000.0f, 0.7f).high;
        put(bus, first + n, e * l, e * r);
    }
}

void drum_tom(stereo_bus* bus, double start, double note, float level)
{
    long first = to_sample(start);
    long count = to_sample(1.0);
    double base = midi_hz(note), phase = 0.0;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        phase += base * (1.0 + 0.6 * std::exp(-t / 0.03)) / k_rate;
        float v = level * env_perc(t, 0.001, 0.14) * (float)std::sin(2.0 * k_pi * phase);
        put(bus, first + n, v, v);
    }
}

// Filtered noise whose band climbs from 600 Hz to 7.2 kHz while it swells.
void fx_riser(stereo_bus* bus, double start, double end, float level)
{
    long first = to_sample(start);
    long count = to_sample(end - start);
    uint32_t sl = seed_at(start, 0x715e), sr = seed_at(start, 0xe517);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double x = (double)n / count;
        float cutoff = (float)(600.0 * std::pow(12.0, x));
        float e = level * (float)(x * x) * end_fade(count - n);
        put(bus, first + n, e * svf_run(&fl, noise_white(&sl), cutoff, 2.0f).band,
            e * svf_run(&fr, noise_white(&sr), cutoff * 1.05f, 2.0f).band);
    }
}

// The opposite gesture: a band falling from 7 kHz to 500 Hz as it fades.
void fx_downsweep(stereo_bus* bus, double start, double end, float level)
{
    long first = to_sample(start);
    long count = to_sample(end - start);
    uint32_t sl = seed_at(start, 0xd0e1), sr = seed_at(start, 0x1e0d);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double x = (double)n / count;
        float cutoff = (float)(7000.0 * std::pow(500.0 / 7000.0, x));
        float e = level * (float)std::min(1.0, x * 12.0) * (float)(1.0 - x);
        put(bus, first + n, e * svf_run(&fl, noise_white(&sl), cutoff, 2.5f).band,
            e * svf_run(&fr, noise_white(&sr), cutoff * 0.95f, 2.5f).band);
    }
}

void fx_reverse_cymbal(stereo_bus* bus, double end, double length, float level)
{
    long last = to_sample(end);
    long count = to_sample(length);
    uint32_t sl = seed_at(end, 0x7e7e), sr = seed_at(end, 0xe7e7);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double x = (double)n / count;
        float e = level * (float)std::exp(-5.0 * (1.0 - x)) * end_fade(count - n);
        float l = svf_run(&fl, noise_white(&sl), 3500.0f, 0.7f).high;
        float r = svf_run(&fr, noise_white(&sr), 3500.0f, 0.7f).high;
        put(bus, last - count + n, e * l, e * r);
    }
}

void fx_impact(stereo_bus* bus, double start, float level)
{
    long first = to_sample(start);
    long count = to_sample(4.5);
    uint32_t seed = seed_at(start, 0x1a9c);
    svf_state filt;
    double phase = 0.0;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        phase += (34.0 + 30.0 * std::exp(-t / 0.15)) / k_rate;
        float boom = (float)std::sin(2.0 * k_pi * phase) * env_perc(t, 0.002, 0.6);
        float rumble = svf_run(&filt, noise_white(&seed), 900.0f, 0.6f).low * env_perc(t, 0.001, 0.08);
        float v = level * (0.8f * boom + 0.6f * rumble);
        put(bus, first + n, v, v);
    }
}
