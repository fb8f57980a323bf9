// Gapless MP3 decoding with libmpg123 and the spectrum values as the show defines them (kissfft).
#include "bin_spectrum.h"

#include <kiss_fftr.h>
#include <mpg123.h>

#include <cmath>
#include <cstdio>

namespace {
const double k_pi = 3.14159265358979323846;

std::vector<float> g_window;
kiss_fftr_cfg g_fft = nullptr;
}  // namespace

bool decode_mp3_mono(const char* path, decoded_audio* out)
{
    if (mpg123_init() != MPG123_OK) return false;
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return false;
    // gapless: the encoder's delay and padding, from the info tag, are cut away
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_FORCE_FLOAT, 0);
    mpg123_format_none(mh);
    for (long rate : {44100L, 48000L, 32000L, 22050L})
        mpg123_format(mh, rate, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh, path) != MPG123_OK) {
        fprintf(stderr, "cannot open %s: %s\n", path, mpg123_strerror(mh));
        mpg123_delete(mh);
        return false;
    }
    std::vector<float> buf(8192);
    int channels = 0, encoding = 0;
    bool ok = true;
    for (;;) {
        size_t got = 0;
        int rc = mpg123_read(mh, (unsigned char*)buf.data(), buf.size() * sizeof(float), &got);
        if (rc == MPG123_NEW_FORMAT) {
            mpg123_getformat(mh, &out->rate, &channels, &encoding);
            continue;
        }
        for (size_t i = 0; i + 1 < got / sizeof(float); i += 2) out->mono.push_back(0.5f * (buf[i] + buf[i + 1]));
        if (rc == MPG123_DONE) break;
        if (rc != MPG123_OK) {
            fprintf(stderr, "decoding %s: %s\n", path, mpg123_strerror(mh));
            ok = false;
            break;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return ok && out->rate > 0;
}

// The 1024 samples ending at the heard position, Hann window, |X_k| * 4 / 1024: a full-scale
// sine on a bin centre reads 1.0. Samples before the start or after the end count as silence.
void spectrum_at(const decoded_audio& audio, double t, float* values)
{
    if (!g_fft) {
        g_window.resize(k_spectrum_size);
        for (int n = 0; n < k_spectrum_size; ++n)
            g_window[n] = (float)(0.5 - 0.5 * std::cos(2.0 * k_pi * n / k_spectrum_size));
        g_fft = kiss_fftr_alloc(k_spectrum_size, 0, nullptr, nullptr);
    }
    std::vector<float> frame(k_spectrum_size);
    std::vector<kiss_fft_cpx> bins(k_spectrum_size / 2 + 1);
    long end = (long)std::floor(t * audio.rate);
    for (int n = 0; n < k_spectrum_size; ++n) {
        long i = end - k_spectrum_size + n;
        float x = i >= 0 && i < (long)audio.mono.size() ? audio.mono[i] : 0.0f;
        frame[n] = x * g_window[n];
    }
    kiss_fftr(g_fft, frame.data(), bins.data());
    for (int k = 0; k < k_spectrum_size / 2; ++k)
        values[k] = std::hypot(bins[k].r, bins[k].i) * 4.0f / k_spectrum_size;
}
