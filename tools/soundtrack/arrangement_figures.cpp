// Figures of the arrangement after the drop, from the decoded samples: phrase repetition, backbeat,
// stereo width, the break's build and the onsets on the picture's off-grid cues.
#include "tools/soundtrack/arrangement_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include <kiss_fftr.h>

#include "tools/soundtrack/score.h"
#include "tools/soundtrack/synth.h"

static const double k_bar = 4 * k_beat;
static const int k_slices = 16;  // time slices of a bar's spectrogram
static const int k_bands = 40;   // log-spaced bands of a slice
static const double k_lowest_hz = 60.0, k_highest_hz = 16000.0;
static const int k_onset_frame = 2048, k_onset_hop = 512;

double db(double power)
{
    return power > 0.0 ? 10.0 * std::log10(power) : -999.0;
}

static float left_at(const decoded_music& d, long f)
{
    return d.samples[2 * f] / 32768.0f;
}

static float right_at(const decoded_music& d, long f)
{
    return d.samples[2 * f + 1] / 32768.0f;
}

static float mono_at(const decoded_music& d, long f)
{
    return 0.5f * (left_at(d, f) + right_at(d, f));
}

static long frame_at(const decoded_music& d, double t)
{
    return std::clamp(std::lround(t * d.rate), 0L, (long)d.frames);
}

static double median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Band powers of every 2048-sample Hann frame (hop 512) of the mono sum, transformed at `size`
// values (zero-padded above 2048). Without padding the values are 21.5 Hz apart and the two bands
// narrower than that below 105 Hz hold none: they read the floor in every bar.
static std::vector<double> band_frames(const decoded_music& d, int size)
{
    kiss_fftr_cfg cfg = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    std::vector<float> in(size, 0.0f);
    std::vector<kiss_fft_cpx> bins(size / 2 + 1);
    std::vector<int> band_of(size / 2 + 1, -1);
    double ratio = std::log(k_highest_hz / k_lowest_hz);
    for (int k = 0; k <= size / 2; ++k) {
        double hz = (double)k * d.rate / size;
        if (hz >= k_lowest_hz && hz < k_highest_hz)
            band_of[k] = (int)(k_bands * std::log(hz / k_lowest_hz) / ratio);
    }
    // power in units of a full-scale sine's peak value
    double full_scale = 0.25 * k_onset_frame * 0.25 * k_onset_frame;
    std::vector<double> bands;
    for (long a = 0; a + k_onset_frame <= d.frames; a += k_onset_hop) {
        for (int i = 0; i < k_onset_frame; ++i)
            in[i] = mono_at(d, a + i) * (float)(0.5 - 0.5 * std::cos(2.0 * M_PI * i / k_onset_frame));
        kiss_fftr(cfg, in.data(), bins.data());
        size_t at = bands.size();
        bands.resize(at + k_bands, 0.0);
        for (int k = 0; k <= size / 2; ++k)
            if (band_of[k] >= 0)
                bands[at + band_of[k]] += ((double)bins[k].r * bins[k].r + (double)bins[k].i * bins[k].i) / full_scale;
    }
    kiss_fftr_free(cfg);
    return bands;
}

static double frame_centre(long j, int rate)
{
    return (double)(j * k_onset_hop + k_onset_frame / 2) / rate;
}

// A bar's log spectrogram: k_slices × k_bands values in dB, each slice the mean power of the
// frames centred in it, floored at -150 dB (below anything 16-bit samples hold).
static std::vector<double> bar_print(const std::vector<double>& bands, int rate, double from)
{
    std::vector<double> print(k_slices * k_bands, 0.0);
    std::vector<int> count(k_slices, 0);
    long frames = (long)bands.size() / k_bands;
    for (long j = 0; j < frames; ++j) {
        int s = (int)std::floor((frame_centre(j, rate) - from) / (k_bar / k_slices));
        if (s < 0 || s >= k_slices) continue;
        for (int b = 0; b < k_bands; ++b) print[s * k_bands + b] += bands[j * k_bands + b];
        ++count[s];
    }
    for (int i = 0; i < k_slices * k_bands; ++i)
        print[i] = std::max(-150.0, db(print[i] / std::max(1, count[i / k_bands])));
    return print;
}

static double correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    double ma = 0.0, mb = 0.0;
    for (size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
    ma /= a.size();
    mb /= b.size();
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 1.0;
}

// The groove after the drop: up to the break, and from its end to the last chord.
struct span {
    double from, until;
};

static std::vector<span> groove_spans()
{
    return {{k_model_scene_at, part_start(part_break)}, {part_end(part_break), final_chord_time()}};
}

// The median over the groove's bar pairs four bars apart of their prints' correlation.
static double phrase_median(const decoded_music& d, int size, bool print_pairs)
{
    std::vector<double> bands = band_frames(d, size), all;
    for (const span& s : groove_spans()) {
        int bars = (int)std::lround((s.until - s.from) / k_bar);
        std::vector<std::vector<double>> prints;
        for (int i = 0; i < bars; ++i) prints.push_back(bar_print(bands, d.rate, s.from + i * k_bar));
        for (int i = 0; i + 4 < bars; ++i) {
            all.push_back(correlation(prints[i], prints[i + 4]));
            if (print_pairs)
                printf("phrase_pair %.3f %.3f s: %.3f\n", s.from + i * k_bar, s.from + (i + 4) * k_bar, all.back());
        }
    }
    return median(all);
}

void report_phrases(const decoded_music& d)
{
    double plain = phrase_median(d, k_onset_frame, true), filled = phrase_median(d, 4 * k_onset_frame, false);
    printf("phrases: median correlation %.3f of bars four apart, %.3f with every band filled\n", plain, filled);
}

// 1.5-6 kHz energy of the Hann-windowed 80 ms after t.
static double backbeat_energy(const decoded_music& d, double t)
{
    static const int size = 4096;
    static kiss_fftr_cfg cfg = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    std::vector<float> in(size, 0.0f);
    std::vector<kiss_fft_cpx> bins(size / 2 + 1);
    long a = frame_at(d, t), n = std::min<long>(frame_at(d, t + 0.08) - a, size);
    for (long i = 0; i < n && a + i < d.frames; ++i)
        in[i] = mono_at(d, a + i) * (float)(0.5 - 0.5 * std::cos(2.0 * M_PI * i / n));
    kiss_fftr(cfg, in.data(), bins.data());
    double e = 0.0;
    for (int k = 0; k <= size / 2; ++k) {
        double hz = (double)k * d.rate / size;
        if (hz >= 1500.0 && hz < 6000.0) e += (double)bins[k].r * bins[k].r + (double)bins[k].i * bins[k].i;
    }
    return e;
}

void report_backbeat(const decoded_music& d)
{
    double energy[2] = {0.0, 0.0};
    int count[2] = {0, 0};
    for (const span& s : groove_spans())
        for (long k = 0; s.from + k * k_beat < s.until - 1e-6; ++k) {
            double t = s.from + k * k_beat;
            int back = std::lround((t - k_model_scene_at) / k_beat) % 2;  // beats 2 and 4, bars from the drop
            energy[back] += backbeat_energy(d, t);
            ++count[back];
        }
    double on = energy[1] / std::max(1, count[1]), off = energy[0] / std::max(1, count[0]);
    printf("backbeat: 1.5-6 kHz in the 80 ms after beats 2 and 4 against 1 and 3 (%d and %d beats): %+.2f dB\n",
           count[1], count[0], db(on) - db(off));
}

static void stereo_over(const decoded_music& d, double from, double until)
{
    double ll = 0.0, rr = 0.0, lr = 0.0;
    for (long f = frame_at(d, from); f < frame_at(d, until); ++f) {
        double l = left_at(d, f), r = right_at(d, f);
        ll += l * l;
        rr += r * r;
        lr += l * r;
    }
    double mono = 0.25 * (ll + rr + 2.0 * lr), pair = 0.5 * (ll + rr);
    printf("stereo %.3f-%.3f s: correlation %.3f, mono sum %+.1f dB against the pair\n", from, until,
           ll > 0.0 && rr > 0.0 ? lr / std::sqrt(ll * rr) : 1.0, db(mono) - db(pair));
}

void report_stereo(const decoded_music& d)
{
    stereo_over(d, k_model_scene_at, part_start(part_break));
    stereo_over(d, 0.0, k_show_end);
}

static double rms_db(const decoded_music& d, double from, double until)
{
    double sum = 0.0;
    long a = frame_at(d, from), b = frame_at(d, until);
    for (long f = a; f < b; ++f) sum += mono_at(d, f) * mono_at(d, f);
    return db(sum / std::max(1L, b - a));
}

void report_build(const decoded_music& d)
{
    double from = part_start(part_break), until = part_end(part_break);
    double first = rms_db(d, from, from + 2.0), last = rms_db(d, until - 2.0, until);
    printf("build %.3f-%.3f s: mono sum first 2 s %.1f dBFS, last 2 s %.1f dBFS RMS, rise %+.1f dB\n", from, until,
           first, last, last - first);
}

// Spectral flux of the mono sum, Hann frames of k_onset_frame samples every k_onset_hop; frame j
// is timed at its centre.
static std::vector<double> onset_curve(const decoded_music& d)
{
    kiss_fftr_cfg cfg = kiss_fftr_alloc(k_onset_frame, 0, nullptr, nullptr);
    std::vector<float> in(k_onset_frame), mag(k_onset_frame / 2 + 1, 0.0f);
    std::vector<kiss_fft_cpx> bins(k_onset_frame / 2 + 1);
    std::vector<double> flux;
    for (long a = 0; a + k_onset_frame <= d.frames; a += k_onset_hop) {
        for (int i = 0; i < k_onset_frame; ++i)
            in[i] = mono_at(d, a + i) * (float)(0.5 - 0.5 * std::cos(2.0 * M_PI * i / k_onset_frame));
        kiss_fftr(cfg, in.data(), bins.data());
        double rise = 0.0;
        for (int k = 0; k <= k_onset_frame / 2; ++k) {
            float m = std::hypot(bins[k].r, bins[k].i);
            rise += std::max(0.0f, m - mag[k]);
            mag[k] = m;
        }
        flux.push_back(a == 0 ? 0.0 : rise);
    }
    kiss_fftr_free(cfg);
    return flux;
}

// The strongest onset whose frame centre lies within 20 ms of t.
static double onset_near(const std::vector<double>& flux, int rate, double t)
{
    double best = 0.0;
    for (size_t j = 0; j < flux.size(); ++j) {
        if (std::fabs(frame_centre((long)j, rate) - t) <= 0.02) best = std::max(best, flux[j]);
    }
    return best;
}

void report_cue_hits(const decoded_music& d)
{
    std::vector<double> flux = onset_curve(d), beats;
    for (double t = k_model_scene_at; t < k_show_end; t += k_beat) beats.push_back(onset_near(flux, d.rate, t));
    double typical = median(beats);
    std::vector<double> cues = off_grid_cues();
    int hits = 0;
    for (double cue : cues) {
        double f = onset_near(flux, d.rate, cue);
        hits += f >= typical;
        printf("cue_hit %.3f s: %.2f times the median beat after the drop\n", cue, typical > 0.0 ? f / typical : 0.0);
    }
    printf("cue_hits: %d of %zu off-grid cues at least the median beat\n", hits, cues.size());
}
