// soundtrack_figures: how the soundtrack sounds to the show, measured with the audio layer's own spectrum.
#include "tools/soundtrack/arrangement_figures.h"
#include "tools/soundtrack/bin_spectrum.h"
#include "tools/soundtrack/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <kiss_fftr.h>

#include "show/show_times.h"

namespace {
const int k_values = k_spectrum_size / 2;
const double k_fps = 240.0;      // frames per second for peaks and medians
const int k_strength_lag = 441;  // 10 ms
const int k_timing_lag = 64;     // 1.5 ms
const int k_flux_step = 64;      // where onsets are looked for, every 1.5 ms
const double k_half_window = 0.5 * k_spectrum_size / k_rate;

// Octave bands by their nominal centres; a value belongs to the band its centre falls in.
const double k_octaves[10] = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};

float percentile(std::vector<float> v, double p)
{
    if (v.empty()) return 0.0f;
    std::sort(v.begin(), v.end());
    return v[(size_t)std::lround(p * (v.size() - 1))];
}

// Mean power spectrum of the decoded samples over [from, until), in long Hann windows: the
// show's 43 Hz values would smear the sub bass over the low mids, so band levels need finer ones.
const int k_long = 16384;

std::vector<double> mean_power(const decoded_music& d, double from, double until)
{
    static kiss_fftr_cfg cfg = kiss_fftr_alloc(k_long, 0, nullptr, nullptr);
    std::vector<float> in(k_long);
    std::vector<kiss_fft_cpx> out(k_long / 2 + 1);
    std::vector<double> sum(k_long / 2, 0.0);
    long n = 0;
    long last = std::min<long>(std::lround(until * d.rate), d.frames);
    for (long a = std::lround(from * d.rate); a + k_long <= last; a += k_long / 2, ++n) {
        for (int i = 0; i < k_long; ++i) {
            float mono = 0.5f * (d.samples[2 * (a + i)] + d.samples[2 * (a + i) + 1]) / 32768.0f;
            in[i] = mono * (float)(0.5 - 0.5 * std::cos(2.0 * M_PI * i / k_long));
        }
        kiss_fftr(cfg, in.data(), out.data());
        for (int k = 0; k < k_long / 2; ++k) sum[k] += (double)out[k].r * out[k].r + (double)out[k].i * out[k].i;
    }
    for (double& s : sum) s /= std::max(1L, n);
    return sum;
}

double band_power(const std::vector<double>& p, double lo, double hi)
{
    double s = 0.0;
    for (int k = 1; k < k_long / 2; ++k) {
        double hz = (double)k * k_rate / k_long;
        if (hz >= lo && hz < hi) s += p[k];
    }
    return s;
}

// Every octave band and the 120-250 Hz band, in dB under the loudest octave band.
void report_bands(const decoded_music& d, double from, double until)
{
    std::vector<double> p = mean_power(d, from, until);
    double octave[10], loudest = 0.0;
    for (int i = 0; i < 10; ++i) {
        octave[i] = band_power(p, k_octaves[i] / std::sqrt(2.0), k_octaves[i] * std::sqrt(2.0));
        loudest = std::max(loudest, octave[i]);
    }
    printf("bands %.3f-%.3f s (dB re the loudest octave band):", from, until);
    for (int i = 0; i < 10; ++i) printf(" %g=%.1f", k_octaves[i], db(octave[i]) - db(loudest));
    printf("\nband120-250 %.3f-%.3f s: %.1f dB\n", from, until, db(band_power(p, 120.0, 250.0)) - db(loudest));
}

// Rise of the spectrum from the transform centred lag/2 frames before t to the one centred
// lag/2 after it (spectral flux). A short lag finds where an onset is, for clicks and for held
// sounds alike; a 10 ms lag says how strongly it stands out of what came just before.
double flux_at(const decoded_music& d, double t, int lag)
{
    float a[k_values], b[k_values];
    double end = t + k_half_window, half = 0.5 * lag / k_rate;
    spectrum_at(d, end - half, a);
    spectrum_at(d, end + half, b);
    double rise = 0.0;
    for (int k = 1; k < k_values; ++k) rise += std::max(0.0f, b[k] - a[k]);
    return rise;
}

// The strongest onset within [t - before, t + after] for the given lag: its rise and where it is.
double strongest_onset(const decoded_music& d, double t, double before, double after, int lag, double* where)
{
    double best = -1.0;
    for (double s = t - before; s <= t + after; s += (double)k_flux_step / k_rate) {
        double f = flux_at(d, s, lag);
        if (f > best) {
            best = f;
            *where = s;
        }
    }
    return best;
}

// The peaks of values 6 and 7 on every beat of the model scene, bars of four counted from the
// drop; the downbeats' mean against the others', and the values between beats.
void report_beats(const decoded_music& d)
{
    float v[k_values];
    std::vector<float> peaks[2], down[2], other[2], between[2];
    for (long beat = 0;; ++beat) {
        double t0 = k_model_scene_at + beat * k_beat;
        if (t0 >= k_show_end) break;
        float peak[2] = {0.0f, 0.0f};
        for (double t = t0; t < t0 + k_beat && t < k_show_end; t += 1.0 / k_fps) {
            spectrum_at(d, t, v);
            for (int s = 0; s < 2; ++s) {
                peak[s] = std::max(peak[s], v[6 + s]);
                if (t - t0 >= 0.2 && t - t0 < 0.45) between[s].push_back(v[6 + s]);
            }
        }
        for (int s = 0; s < 2; ++s) {
            peaks[s].push_back(peak[s]);
            (beat % 4 == 0 ? down : other)[s].push_back(peak[s]);
        }
    }
    printf("beats %.3f-%.3f s: %zu beats, bars of four from %.3f s\n", k_model_scene_at, (double)k_show_end,
           peaks[0].size(), k_model_scene_at);
    for (int s = 0; s < 2; ++s) {
        double dm = 0.0, om = 0.0;
        for (float x : down[s]) dm += x;
        for (float x : other[s]) om += x;
        dm /= std::max<size_t>(1, down[s].size());
        om /= std::max<size_t>(1, other[s].size());
        long quiet = std::count_if(peaks[s].begin(), peaks[s].end(), [](float x) { return x < 0.1f; });
        printf("  bin%d downbeat_mean=%.3f other_mean=%.3f ratio=%.2f peak_min=%.3f p10=%.3f median=%.3f "
               "max=%.3f below_0.1=%ld between_median=%.4f\n",
               6 + s, dm, om, om > 0.0 ? dm / om : 0.0, percentile(peaks[s], 0.0), percentile(peaks[s], 0.1),
               percentile(peaks[s], 0.5), percentile(peaks[s], 1.0), quiet, percentile(between[s], 0.5));
    }
}

// Where the onset nearest each cue lands, and how strong it is against the median beat.
void report_onsets(const decoded_music& d)
{
    std::vector<double> beat_flux;
    double drop_flux = 0.0, where = 0.0;
    for (long beat = 0;; ++beat) {
        double t = k_first_slide_at + beat * k_beat;
        if (t >= k_show_end) break;
        double f = strongest_onset(d, t, 0.01, 0.03, k_strength_lag, &where);
        beat_flux.push_back(f);
        if (std::fabs(t - k_model_scene_at) < 1e-6) drop_flux = f;
    }
    std::vector<double> sorted = beat_flux;
    std::sort(sorted.begin(), sorted.end());
    double median = sorted[sorted.size() / 2];
    long rank = 1 + std::count_if(beat_flux.begin(), beat_flux.end(), [&](double f) { return f > drop_flux; });
    printf("drop %.3f s: onset rank %ld of %zu beats (top %.1f%%), %.1f times the median beat\n", k_model_scene_at,
           rank, beat_flux.size(), 100.0 * rank / beat_flux.size(), drop_flux / median);

    std::vector<double> cues = {k_title_card_at, k_title_card_slides_at};
    cues.insert(cues.end(), k_slide_at, k_slide_at + k_slide_count + 1);
    double worst = 0.0;
    for (double cue : cues) {
        double f = strongest_onset(d, cue, 0.04, 0.04, k_strength_lag, &where);
        strongest_onset(d, cue, 0.04, 0.04, k_timing_lag, &where);
        double off_ms = 1000.0 * (where - cue);
        if (cue >= k_first_slide_at) worst = std::max(worst, std::fabs(off_ms));
        printf("onset cue %.3f s: at %+.1f ms, %.1f times the median beat\n", cue, off_ms, f / median);
    }
    printf("onsets slide changes: worst offset %.1f ms\n", worst);
}

// RMS of both channels over [from, from + 0.1 s), in dB under a full-scale square wave.
void report_level(const decoded_music& d, double from)
{
    long a = std::lround(from * d.rate), b = std::lround((from + 0.1) * d.rate);
    double sum = 0.0;
    long n = 0;
    for (long f = std::max(0L, a); f < b && f < d.frames; ++f, ++n)
        for (int c = 0; c < 2; ++c) sum += std::pow(d.samples[2 * f + c] / 32768.0, 2.0);
    printf("level %.1f-%.1f s: %.1f dBFS RMS\n", from, from + 0.1, n ? db(sum / (2.0 * n)) : -999.0);
}

void print_help()
{
    printf("usage: soundtrack_figures FILE.mp3\n"
           "Decodes FILE with the show's own audio layer and prints, from its spectrum:\n"
           "  octave band levels and the 120-250 Hz band in the intro (0-%.1f s) and the groove (30-60 s);\n"
           "  spectrum values 6 and 7 on every beat of the model scene: bar accents, peaks, between beats;\n"
           "  onsets (spectral flux) at the cues and slide changes, and the drop's rank among the beats;\n"
           "  the RMS level over the last seconds up to the show's end at %.1f s;\n"
           "  after the drop: bar-to-bar repetition four bars apart, the backbeat, left/right correlation\n"
           "  and the mono sum, the break's build, and the onsets on the picture's off-grid cues.\n",
           k_first_slide_at, (double)k_show_end);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && !strcmp(argv[1], "--help")) {
        print_help();
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        fprintf(stderr, "soundtrack_figures: need exactly one MP3 file (try --help)\n");
        return 2;
    }
    decoded_music d;
    if (!open_decoded_music(argv[1], d)) {
        fprintf(stderr, "soundtrack_figures: cannot open or decode %s\n", argv[1]);
        close_decoded_music(d);
        return 1;
    }
    printf("decoded %lld samples at %d Hz (%.3f s)\n", (long long)d.frames, d.rate, (double)d.frames / d.rate);
    report_bands(d, 0.0, k_first_slide_at);
    report_bands(d, 30.0, 60.0);
    report_beats(d);
    report_onsets(d);
    for (double t = k_show_end - 3.0; t < k_show_end - 0.05; t += 0.5) report_level(d, t);
    report_level(d, k_show_end - 0.1);
    report_phrases(d);
    report_backbeat(d);
    report_stereo(d);
    report_build(d);
    report_cue_hits(d);
    close_decoded_music(d);
    return 0;
}
