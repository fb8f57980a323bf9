// Envelopes and filters: ADSR and percussive shapes, a state-variable filter, biquad equalisers.
#include "tools/soundtrack/synth.h"

#include <cmath>

namespace {
const double k_pi = 3.14159265358979323846;
}  // namespace

namespace {
double attack_decay_sustain(double t, double attack, double decay, float sustain)
{
    if (t < attack) return t / attack;
    return sustain + (1.0 - sustain) * std::exp(-4.0 * (t - attack) / decay);
}
}  // namespace

// held is how long the key is down; the release starts from wherever the envelope stood then.
float env_adsr(double t, double held, double attack, double decay, float sustain, double release)
{
    if (t < 0.0) return 0.0f;
    if (t < held) return (float)attack_decay_sustain(t, attack, decay, sustain);
    double r = (t - held) / release;
    if (r > 8.0) return 0.0f;
    return (float)(attack_decay_sustain(held, attack, decay, sustain) * std::exp(-5.0 * r));
}

float env_perc(double t, double attack, double decay)
{
    if (t < 0.0) return 0.0f;
    if (t < attack) return (float)(t / attack);
    return (float)std::exp(-(t - attack) / decay);
}

svf_out svf_run(svf_state* s, float x, float cutoff_hz, float q)
{
    if (cutoff_hz > 0.45f * k_rate) cutoff_hz = 0.45f * k_rate;
    float g = (float)std::tan(k_pi * cutoff_hz / k_rate);
    float k = 1.0f / q;
    float a1 = 1.0f / (1.0f + g * (g + k));
    float a2 = g * a1;
    float a3 = g * a2;
    float v3 = x - s->ic2;
    float v1 = a1 * s->ic1 + a2 * v3;
    float v2 = s->ic2 + a2 * s->ic1 + a3 * v3;
    s->ic1 = 2.0f * v1 - s->ic1;
    s->ic2 = 2.0f * v2 - s->ic2;
    return {v2, v1, x - k * v1 - v2};
}

// Coefficients from the well-known audio EQ cookbook formulas.
biquad biquad_highpass(double hz, double q)
{
    double w = 2.0 * k_pi * hz / k_rate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    double a0 = 1.0 + alpha;
    biquad f;
    f.b0 = (1.0 + c) / 2.0 / a0;
    f.b1 = -(1.0 + c) / a0;
    f.b2 = f.b0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

biquad biquad_lowpass(double hz, double q)
{
    double w = 2.0 * k_pi * hz / k_rate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    double a0 = 1.0 + alpha;
    biquad f;
    f.b0 = (1.0 - c) / 2.0 / a0;
    f.b1 = (1.0 - c) / a0;
    f.b2 = f.b0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

biquad biquad_peak(double hz, double q, double gain_db)
{
    double a = std::pow(10.0, gain_db / 40.0);
    double w = 2.0 * k_pi * hz / k_rate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    double a0 = 1.0 + alpha / a;
    biquad f;
    f.b0 = (1.0 + alpha * a) / a0;
    f.b1 = -2.0 * c / a0;
    f.b2 = (1.0 - alpha * a) / a0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha / a) / a0;
    return f;
}

biquad biquad_notch(double hz, double q)
{
    double w = 2.0 * k_pi * hz / k_rate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    double a0 = 1.0 + alpha;
    biquad f;
    f.b0 = 1.0 / a0;
    f.b1 = -2.0 * c / a0;
    f.b2 = f.b0;
    f.a1 = -2.0 * c / a0;
    f.a2 = (1.0 - alpha) / a0;
    return f;
}

float biquad_run(biquad* f, float x)
{
    double y = f->b0 * x + f->z1;
    f->z1 = f->b1 * x - f->a1 * y + f->z2;
    f->z2 = f->b2 * x - f->a2 * y;
    return (float)y;
}

void biquad_bus(stereo_bus* bus, biquad proto)
{
    biquad l = proto, r = proto;
    for (size_t i = 0; i < bus->left.size(); ++i) {
        bus->left[i] = biquad_run(&l, bus->left[i]);
        bus->right[i] = biquad_run(&r, bus->right[i]);
    }
}
