// Spaces and dynamics: a Freeverb-style reverb, a ping-pong delay, beat ducking and the master limiter.
#include "tools/soundtrack/synth.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {
// Delay lengths of the classic Schroeder/Moorer network, in samples at 44.1 kHz.
const int k_comb_lengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int k_allpass_lengths[4] = {556, 441, 341, 225};
const int k_stereo_spread = 23;

struct comb_line {
    std::vector<float> buf;
    size_t pos = 0;
    float store = 0.0f;
};

struct allpass_line {
    std::vector<float> buf;
    size_t pos = 0;
};

float comb_run(comb_line* c, float x, float feedback, float damp)
{
    float y = c->buf[c->pos];
    c->store = y * (1.0f - damp) + c->store * damp;
    c->buf[c->pos] = x + c->store * feedback;
    if (++c->pos == c->buf.size()) c->pos = 0;
    return y;
}

float allpass_run(allpass_line* a, float x)
{
    float b = a->buf[a->pos];
    a->buf[a->pos] = x + b * 0.5f;
    if (++a->pos == a->buf.size()) a->pos = 0;
    return b - x;
}

void reverb_channel(const std::vector<float>& in, std::vector<float>* out, int spread, float room, float damp,
                    float wet)
{
    comb_line combs[8];
    allpass_line passes[4];
    for (int i = 0; i < 8; ++i) combs[i].buf.assign(k_comb_lengths[i] + spread, 0.0f);
    for (int i = 0; i < 4; ++i) passes[i].buf.assign(k_allpass_lengths[i] + spread, 0.0f);
    float feedback = 0.7f + 0.28f * room;
    float damping = 0.4f * damp;
    for (size_t n = 0; n < in.size(); ++n) {
        float x = in[n] * 0.015f;
        float y = 0.0f;
        for (comb_line& c : combs) y += comb_run(&c, x, feedback, damping);
        for (allpass_line& a : passes) y = allpass_run(&a, y);
        (*out)[n] += wet * y;
    }
}
}  // namespace

// Adds the reverberated input to out; both sides are fed the mono sum, decorrelated by the spread.
void fx_reverb(const stereo_bus& in, stereo_bus* out, float room, float damp, float wet)
{
    std::vector<float> mono(in.left.size());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (in.left[i] + in.right[i]);
    reverb_channel(mono, &out->left, 0, room, damp, wet);
    reverb_channel(mono, &out->right, k_stereo_spread, room, damp, wet);
}

// Echoes that alternate between the sides, each darker than the one before.
void fx_pingpong(const stereo_bus& in, stereo_bus* out, double delay_s, float feedback, float wet)
{
    long d = to_sample(delay_s);
    std::vector<float> line_l(d, 0.0f), line_r(d, 0.0f);
    svf_state tone_l, tone_r;
    long pos = 0;
    for (size_t n = 0; n < in.left.size(); ++n) {
        float from_l = line_l[pos], from_r = line_r[pos];
        float mono = 0.5f * (in.left[n] + in.right[n]);
        line_l[pos] = mono + feedback * svf_run(&tone_r, from_r, 3500.0f, 0.7f).low;
        line_r[pos] = feedback * svf_run(&tone_l, from_l, 3500.0f, 0.7f).low;
        out->left[n] += wet * from_l;
        out->right[n] += wet * from_r;
        if (++pos == d) pos = 0;
    }
}

// Pulls the bus down on every beat and lets it swell back: the pumping of a side-chained pad.
void fx_duck(stereo_bus* bus, double from, double until, float depth, double recover_s)
{
    long a = std::max(0L, to_sample(from));
    long b = std::min((long)bus->left.size(), to_sample(until));
    for (long n = a; n < b; ++n) {
        double t = (double)n / k_rate;
        double since = std::fmod(t - k_grid_start + 1000.0 * k_beat, k_beat);
        float g = 1.0f - depth * (float)std::exp(-since / recover_s);
        bus->left[n] *= g;
        bus->right[n] *= g;
    }
}

// Look-ahead peak limiter. The gain is the running minimum of the gain each sample needs, over a
// window, then averaged over the same window: every sample in an average's span saw this sample's
// need, so the average never lets a peak through, and the gain changes without clicks.
void fx_limit(stereo_bus* bus, float ceiling, double window_s, double release_s)
{
    long n_all = (long)bus->left.size();
    long half = std::max(1L, to_sample(window_s) / 2);
    std::vector<float> need(n_all), low(n_all);
    for (long n = 0; n < n_all; ++n) {
        float peak = std::max(std::fabs(bus->left[n]), std::fabs(bus->right[n]));
        need[n] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    std::deque<long> window;  // indices of increasing need, front is the minimum
    for (long n = -half; n < n_all; ++n) {
        long enter = n + half;
        if (enter < n_all) {
            while (!window.empty() && need[window.back()] >= need[enter]) window.pop_back();
            window.push_back(enter);
        }
        while (window.front() < n - half) window.pop_front();
        if (n >= 0) low[n] = need[window.front()];
    }
    double sum = 0.0;
    std::vector<double> prefix(n_all + 1, 0.0);
    for (long n = 0; n < n_all; ++n) prefix[n + 1] = (sum += low[n]);
    double recover = 1.0 - std::exp(-1.0 / (release_s * k_rate));
    double g = 1.0;
    for (long n = 0; n < n_all; ++n) {
        long a = std::max(0L, n - half), b = std::min(n_all, n + half + 1);
        double avg = (prefix[b] - prefix[a]) / (double)(b - a);
        // the release only ever lowers the gain further, so it keeps the guarantee
        g = std::min(avg, g + (1.0 - g) * recover);
        bus->left[n] *= (float)g;
        bus->right[n] *= (float)g;
    }
}

// A band-stop over spectrum values 6 and 7 and their neighbours' reach (about 215-345 Hz), for the
// voices that must leave the model still between beats; below 175 Hz and above 500 Hz it keeps
// the level within 3 dB, so the low mids stay full.
void fx_clear_bins_band(stereo_bus* bus)
{
    biquad_bus(bus, biquad_notch(250.0, 2.0));
    biquad_bus(bus, biquad_notch(280.0, 2.5));
    biquad_bus(bus, biquad_notch(312.0, 2.0));
}

// A low-pass whose cutoff glides from from_hz to to_hz over [from, until) (exponentially, as the ear
// hears it); the bus is untouched outside the span.
void fx_lowpass_sweep(stereo_bus* bus, double from, double until, float from_hz, float to_hz)
{
    long a = std::max(0L, to_sample(from));
    long b = std::min((long)bus->left.size(), to_sample(until));
    svf_state fl, fr;
    for (long n = a; n < b; ++n) {
        double x = (double)(n - a) / std::max(1L, b - a);
        float cutoff = from_hz * (float)std::pow(to_hz / from_hz, x);
        bus->left[n] = svf_run(&fl, bus->left[n], cutoff, 0.9f).low;
        bus->right[n] = svf_run(&fr, bus->right[n], cutoff, 0.9f).low;
    }
}

// Silence over [from, until): faded out over fade_s from `from`, back at full level at `until`.
void fx_silence(stereo_bus* bus, double from, double until, double fade_s)
{
    long a = std::max(0L, to_sample(from));
    long b = std::min((long)bus->left.size(), to_sample(until));
    long fade = std::max(1L, to_sample(fade_s));
    for (long n = a; n < b; ++n) {
        float g = n - a < fade ? 1.0f - (float)(n - a) / fade : 0.0f;
        bus->left[n] *= g;
        bus->right[n] *= g;
    }
}

void fx_widen(stereo_bus* bus, float side_gain)
{
    for (size_t i = 0; i < bus->left.size(); ++i) {
        float mid = 0.5f * (bus->left[i] + bus->right[i]), side = 0.5f * (bus->left[i] - bus->right[i]);
        bus->left[i] = mid + side_gain * side;
        bus->right[i] = mid - side_gain * side;
    }
}
