// Pitched instruments: pads, the pulsing mid bass, sub bass, lead, arpeggio pluck, chord stab, bell, counter-melody.
#include "tools/soundtrack/synth.h"

#include <algorithm>
#include <cmath>

namespace {
const double k_pi = 3.14159265358979323846;

void put(stereo_bus* bus, long i, float v, float pan)
{
    if (i < 0 || i >= (long)bus->left.size()) return;
    float l, r;
    pan_gains(pan, &l, &r);
    bus->left[i] += v * l;
    bus->right[i] += v * r;
}

double cents(double c)
{
    return std::pow(2.0, c / 1200.0);
}

// A phase that does not start every note of a chord at the same point.
double start_phase(double note, int voice)
{
    uint32_t seed = 0x9E3779B9u ^ (uint32_t)(note * 131.0) ^ (uint32_t)(voice * 7919);
    noise_bits(&seed);
    return (noise_bits(&seed) & 0xFFFF) / 65536.0;
}
}  // namespace

void voice_pad(stereo_bus* bus, double start, double held, double note, float level, float brightness)
{
    const double detune[3] = {-9.0, 0.0, 8.0};
    double hz = midi_hz(note);
    long first = to_sample(start);
    long count = to_sample(held + 1.6);
    double phase[2][3];
    for (int side = 0; side < 2; ++side)
        for (int v = 0; v < 3; ++v) phase[side][v] = start_phase(note, side * 3 + v);
    svf_state filt[2];
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float amp = level * env_adsr(t, held, 0.5, 0.8, 0.8f, 1.0);
        float cutoff = 700.0f + brightness * 2800.0f * (float)(0.85 + 0.15 * std::sin(2.0 * k_pi * 0.25 * t));
        float out[2];
        for (int side = 0; side < 2; ++side) {
            float sum = 0.0f;
            for (int v = 0; v < 3; ++v) {
                // the two sides are detuned in opposite directions for width
                double step = hz * cents(side == 0 ? detune[v] : -detune[v]) / k_rate;
                sum += osc_saw(phase[side][v], step);
                phase[side][v] += step;
                if (phase[side][v] >= 1.0) phase[side][v] -= 1.0;
            }
            out[side] = amp * svf_run(&filt[side], sum / 3.0f, cutoff, 0.7f).low;
        }
        if (first + n >= (long)bus->left.size()) break;
        bus->left[first + n] += out[0];
        bus->right[first + n] += out[1];
    }
}

// The mid bass sits on bins 6 and 7 of the show's spectrum (258 and 302 Hz): a short, strong
// fundamental on every beat that is gone again before the off-beat.
void voice_pulse(stereo_bus* bus, double start, double note, float level)
{
    double hz = midi_hz(note);
    double step = hz / k_rate;
    long first = to_sample(start);
    long count = to_sample(0.32);
    double phase = 0.0;
    svf_state filt;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float amp = 2.0f * level * env_perc(t, 0.003, 0.075);
        if (t > 0.26) amp *= (float)std::max(0.0, 1.0 - (t - 0.26) / 0.06);
        float edge = -osc_saw(phase, step) * 0.4f;
        float cutoff = 500.0f + 3200.0f * (float)std::exp(-t / 0.04);
        float v = osc_sine(phase) + svf_run(&filt, edge, cutoff, 0.9f).low;
        put(bus, first + n, amp * v, 0.0f);
        phase += step;
        if (phase >= 1.0) phase -= 1.0;
    }
}

void voice_sub(stereo_bus* bus, double start, double held, double note, float level, double attack)
{
    double step = midi_hz(note) / k_rate;
    long first = to_sample(start);
    // a slow swell also lets go slowly, so held notes cross-fade into the next
    double release = std::max(0.02, attack);
    long count = to_sample(held + 1.6 * release + 0.05);
    double phase = 0.0;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float amp = 0.8f * level * env_adsr(t, held, attack, 0.2, 0.85f, release);
        put(bus, first + n, amp * osc_sine(phase), 0.0f);
        phase += step;
        if (phase >= 1.0) phase -= 1.0;
    }
}

// The moving bass line: a saw through a low-pass that opens on each note, over a sine for weight.
void voice_bass(stereo_bus* bus, double start, double held, double note, float level)
{
    double step = midi_hz(note) / k_rate;
    long first = to_sample(start);
    long count = to_sample(held + 0.1);
    double phase = 0.0;
    svf_state filt;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float amp = level * env_adsr(t, held, 0.004, 0.12, 0.6f, 0.025);
        float cutoff = 260.0f + 1100.0f * (float)std::exp(-t / 0.045);
        float tone = svf_run(&filt, osc_saw(phase, step), cutoff, 1.3f).low;
        put(bus, first + n, amp * (0.8f * tone + 0.55f * osc_sine(phase)), 0.0f);
        phase += step;
        if (phase >= 1.0) phase -= 1.0;
    }
}

void voice_lead(stereo_bus* bus, double start, double held, double note, float level)
{
    long first = to_sample(start);
    long count = to_sample(held + 0.6);
    double phase[3] = {start_phase(note, 1), start_phase(note, 2), start_phase(note, 3)};
    svf_state filt[2];
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        // vibrato fades in once the note has settled
        double depth = t < 0.18 ? 0.0 : std::min(1.0, (t - 0.18) / 0.3) * 0.12;
        double hz = midi_hz(note + depth * std::sin(2.0 * k_pi * 5.4 * t));
        double s0 = hz * cents(-7.0) / k_rate, s1 = hz * cents(7.0) / k_rate, s2 = hz / k_rate;
        float a = osc_saw(phase[0], s0);
        float b = osc_saw(phase[1], s1);
        float c = osc_square(phase[2], s2) * 0.5f;
        phase[0] += s0;
        phase[1] += s1;
        phase[2] += s2;
        for (double& p : phase)
            if (p >= 1.0) p -= 1.0;
        float amp = level * env_adsr(t, held, 0.008, 0.25, 0.75f, 0.12);
        float cutoff = 1500.0f + 2500.0f * (float)std::exp(-t / 0.08);
        float l = svf_run(&filt[0], 0.6f * a + 0.4f * b + c, cutoff, 1.1f).low;
        float r = svf_run(&filt[1], 0.4f * a + 0.6f * b + c, cutoff, 1.1f).low;
        if (first + n >= (long)bus->left.size()) break;
        bus->left[first + n] += amp * l * 0.5f;
        bus->right[first + n] += amp * r * 0.5f;
    }
}

void voice_arp(stereo_bus* bus, double start, double note, float level, float brightness, float pan)
{
    double step = midi_hz(note) / k_rate;
    long first = to_sample(start);
    long count = to_sample(0.8);
    double phase = 0.0;
    svf_state filt;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        float amp = level * env_perc(t, 0.002, 0.09);
        float cutoff = 900.0f + brightness * 4500.0f * (float)std::exp(-t / 0.05);
        float v = svf_run(&filt, osc_square(phase, step) * 0.6f + osc_triangle(phase) * 0.4f, cutoff, 1.4f).low;
        put(bus, first + n, amp * v, pan);
        phase += step;
        if (phase >= 1.0) phase -= 1.0;
    }
}

void voice_stab(stereo_bus* bus, double start, double note, float level)
{
    double hz = midi_hz(note);
    long first = to_sample(start);
    long count = to_sample(1.2);
    double pl = start_phase(note, 4), pr = start_phase(note, 5);
    svf_state fl, fr;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        double sl = hz * cents(-11.0) / k_rate, sr = hz * cents(11.0) / k_rate;
        float amp = level * env_perc(t, 0.002, 0.16);
        float cutoff = 900.0f + 5000.0f * (float)std::exp(-t / 0.06);
        float l = svf_run(&fl, osc_saw(pl, sl), cutoff, 1.0f).low;
        float r = svf_run(&fr, osc_saw(pr, sr), cutoff, 1.0f).low;
        pl += sl;
        pr += sr;
        if (pl >= 1.0) pl -= 1.0;
        if (pr >= 1.0) pr -= 1.0;
        if (first + n >= (long)bus->left.size()) break;
        bus->left[first + n] += amp * l;
        bus->right[first + n] += amp * r;
    }
}

// Two-operator FM: a bright strike whose overtones die away faster than the tone.
void voice_bell(stereo_bus* bus, double start, double note, float level, float pan)
{
    double hz = midi_hz(note);
    long first = to_sample(start);
    long count = to_sample(6.5);
    double pc = 0.0, pm = 0.0;
    for (long n = 0; n < count; ++n) {
        double t = (double)n / k_rate;
        double index = 2.2 * std::exp(-t / 0.35);
        float mod = osc_sine(pm);
        float v = osc_sine(pc + index * mod / (2.0 * k_pi));
        pc += hz / k_rate;
        pm += hz * 3.5 / k_rate;
        pc -= std::floor(pc);
        pm -= std::floor(pm);
        put(bus, first + n, level * env_perc(t, 0.002, 0.9) * v, pan);
    }
}

void voice_counter(stereo_bus* bus, double start, double held, double note, float level)
{
    long first = to_sample(start);
    long count = to_sample(held + 0.5);
    double phase[2][2];
    for (int side = 0; side < 2; ++side)
        for (int v = 0; v < 2; ++v) phase[side][v] = start_phase(note, 6 + side * 2 + v);
    svf_state filt[2];
    for (long n = 0; n < count && first + n < (long)bus->left.size(); ++n) {
        double t = (double)n / k_rate;
        double depth = std::min(1.0, t / 0.6) * 0.08;
        double hz = midi_hz(note + depth * std::sin(2.0 * k_pi * 4.7 * t));
        float amp = level * env_adsr(t, held, 0.09, 0.4, 0.8f, 0.25);
        // the bow bites at the start, then the tone settles darker
        float cutoff = 1400.0f + 1800.0f * (float)std::exp(-t / 0.15);
        float out[2];
        for (int side = 0; side < 2; ++side) {
            float sum = 0.0f;
            for (int v = 0; v < 2; ++v) {
                double step = hz * cents((side ? -1.0 : 1.0) * (v ? 11.0 : 4.0)) / k_rate;
                sum += osc_saw(phase[side][v], step);
                phase[side][v] += step;
                if (phase[side][v] >= 1.0) phase[side][v] -= 1.0;
            }
            out[side] = amp * 0.5f * svf_run(&filt[side], sum, cutoff, 0.8f).low;
        }
        bus->left[first + n] += out[0];
        bus->right[first + n] += out[1];
    }
}
