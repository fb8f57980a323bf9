// measure_bins: decodes an MP3 through the audio layer and reports the show's spectrum values 6 and 7 frame by frame.
#include "tools/soundtrack/bin_spectrum.h"
#include "tools/soundtrack/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "show/show_times.h"

namespace {
const int k_size = k_spectrum_size;
const double k_model_from = k_model_scene_at;  // the model scene, which follows the two bins
const double k_model_until = k_show_end;
const float k_off_screen = 0.58f;  // bin 7 above this carries the model out of view

float percentile(std::vector<float> v, double p)
{
    if (v.empty()) return 0.0f;
    std::sort(v.begin(), v.end());
    size_t i = (size_t)std::lround(p * (v.size() - 1));
    return v[i];
}

void report_range(const decoded_music& d, double from, double until, double fps)
{
    std::vector<float> b6, b7;
    float values[k_size / 2];
    for (double t = from; t < until; t = from + (b6.size() + 1) / fps) {
        spectrum_at(d, t, values);
        b6.push_back(values[6]);
        b7.push_back(values[7]);
    }
    printf("range %.3f-%.3f s: %zu frames at %.0f per second\n", from, until, b6.size(), fps);
    const std::vector<float>* series[2] = {&b6, &b7};
    for (int s = 0; s < 2; ++s) {
        const std::vector<float>& v = *series[s];
        long above = std::count_if(v.begin(), v.end(), [](float x) { return x > k_off_screen; });
        printf("  bin%d min=%.3f median=%.3f p90=%.3f p99=%.3f max=%.3f above_0.58=%.2f%%\n", 6 + s,
               percentile(v, 0.0), percentile(v, 0.5), percentile(v, 0.9), percentile(v, 0.99), percentile(v, 1.0),
               v.empty() ? 0.0 : 100.0 * above / v.size());
    }
}

// Mean of each bin just after the beats and halfway between them over the model scene, and the
// distribution of each beat's highest frame.
void report_beats(const decoded_music& d, double fps)
{
    double on[2] = {0, 0}, off[2] = {0, 0};
    long n_on = 0, n_off = 0;
    std::vector<float> peaks[2];
    float beat_peak[2] = {0, 0};
    long beat_index = -1;
    float values[k_size / 2];
    for (long i = 0;; ++i) {
        double t = k_model_from + i / fps;
        if (t >= k_model_until) break;
        long beat = (long)std::floor((t - k_grid_start) / k_beat);
        if (beat != beat_index) {
            if (beat_index >= 0)
                for (int s = 0; s < 2; ++s) peaks[s].push_back(beat_peak[s]);
            beat_index = beat;
            beat_peak[0] = beat_peak[1] = 0.0f;
        }
        double phase = t - k_grid_start - beat * k_beat;
        spectrum_at(d, t, values);
        for (int s = 0; s < 2; ++s) beat_peak[s] = std::max(beat_peak[s], values[6 + s]);
        bool is_on = phase >= 0.02 && phase < 0.08, is_off = phase >= 0.22 && phase < 0.30;
        if (!is_on && !is_off) continue;
        double* sum = is_on ? on : off;
        sum[0] += values[6];
        sum[1] += values[7];
        (is_on ? n_on : n_off)++;
    }
    for (int s = 0; s < 2; ++s) {
        printf("beats bin%d on=%.4f off=%.4f (%ld and %ld frames)\n", 6 + s, n_on ? on[s] / n_on : 0.0,
               n_off ? off[s] / n_off : 0.0, n_on, n_off);
        printf("beat_peaks bin%d min=%.3f p10=%.3f median=%.3f p90=%.3f max=%.3f (%zu beats)\n", 6 + s,
               percentile(peaks[s], 0.0), percentile(peaks[s], 0.1), percentile(peaks[s], 0.5),
               percentile(peaks[s], 0.9), percentile(peaks[s], 1.0), peaks[s].size());
    }
}

void print_help()
{
    printf("usage: measure_bins [--fps N] [--at SECONDS]... FILE.mp3\n"
           "Decodes FILE with the show's own audio layer (gapless) and reports the spectrum values\n"
           "6 and 7 the model scene follows: their distribution over 0-29.3 s and 29.3-83 s, and\n"
           "their mean on and off the beat.\n"
           "  --fps N        frames per second to sample (default 60)\n"
           "  --at SECONDS   print values 0..15 at that time instead (repeatable)\n"
           "  --help         this text\n");
}
}  // namespace

int main(int argc, char** argv)
{
    double fps = 60.0;
    std::vector<double> at;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--help")) {
            print_help();
            return 0;
        } else if (!strcmp(argv[i], "--fps") && i + 1 < argc) {
            fps = atof(argv[++i]);
        } else if (!strcmp(argv[i], "--at") && i + 1 < argc) {
            at.push_back(atof(argv[++i]));
        } else if (argv[i][0] != '-' && !path) {
            path = argv[i];
        } else {
            fprintf(stderr, "measure_bins: unknown or incomplete option '%s' (try --help)\n", argv[i]);
            return 2;
        }
    }
    if (!path || fps <= 0.0) {
        fprintf(stderr, "measure_bins: need one MP3 file and a positive --fps (try --help)\n");
        return 2;
    }
    decoded_music d;
    if (!open_decoded_music(path, d)) {
        fprintf(stderr, "measure_bins: cannot open or decode %s\n", path);
        close_decoded_music(d);
        return 1;
    }
    printf("decoded %lld samples at %d Hz (%.3f s)\n", (long long)d.frames, d.rate, (double)d.frames / d.rate);
    if (!at.empty()) {
        float values[k_size / 2];
        for (double t : at) {
            spectrum_at(d, t, values);
            printf("at %.4f :", t);
            for (int k = 0; k < 16; ++k) printf(" %d=%.4f", k, values[k]);
            printf("\n");
        }
    } else {
        report_range(d, 0.0, k_model_from, fps);
        report_range(d, k_model_from, k_model_until, fps);
        report_beats(d, fps);
    }
    close_decoded_music(d);
    return 0;
}
