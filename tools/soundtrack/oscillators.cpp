// Band-limited oscillators (polyBLEP), noise, grid time and small buffer helpers.
#include "tools/soundtrack/synth.h"

#include <algorithm>
#include <cmath>

namespace {
const double k_pi = 3.14159265358979323846;

// Smooths the jump of a saw or square across one sample on each side of the wrap.
double poly_blep(double phase, double step)
{
    if (phase < step) {
        double x = phase / step;
        return x + x - x * x - 1.0;
    }
    if (phase > 1.0 - step) {
        double x = (phase - 1.0) / step;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}
}  // namespace

double beat_time(double beat)
{
    return k_grid_start + beat * k_beat;
}

long to_sample(double seconds)
{
    return std::lround(seconds * k_rate);
}

double midi_hz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

stereo_bus make_bus(long frames)
{
    stereo_bus bus;
    bus.left.assign(frames, 0.0f);
    bus.right.assign(frames, 0.0f);
    return bus;
}

void mix_into(stereo_bus* dst, const stereo_bus& src, float gain)
{
    for (size_t i = 0; i < dst->left.size() && i < src.left.size(); ++i) {
        dst->left[i] += gain * src.left[i];
        dst->right[i] += gain * src.right[i];
    }
}

void pan_gains(float pan, float* left, float* right)
{
    double a = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * 0.25 * k_pi;
    *left = (float)std::cos(a);
    *right = (float)std::sin(a);
}

float osc_sine(double phase)
{
    return (float)std::sin(2.0 * k_pi * phase);
}

float osc_saw(double phase, double step)
{
    return (float)(2.0 * phase - 1.0 - poly_blep(phase, step));
}

float osc_square(double phase, double step)
{
    double v = phase < 0.5 ? 1.0 : -1.0;
    double shifted = phase + 0.5;
    if (shifted >= 1.0) shifted -= 1.0;
    return (float)(v + poly_blep(phase, step) - poly_blep(shifted, step));
}

float osc_triangle(double phase)
{
    return (float)(phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase);
}

// xorshift32: fixed seeds make every render identical.
uint32_t noise_bits(uint32_t* state)
{
    uint32_t x = *state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    *state = x;
    return x;
}

float noise_white(uint32_t* state)
{
    return (float)((double)noise_bits(state) / 2147483648.0 - 1.0);
}
