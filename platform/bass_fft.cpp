// Our audio layer's spectrum: BASS_ChannelGetData with BASS_DATA_FFT1024, and the same values of samples in memory.
#include <kiss_fftr.h>

#include <cmath>
#include <cstring>

#include "platform/bass_fft.h"

#include "platform/audio_output.h"
#include "platform/bass.h"
#include "platform/pcm_spectrum.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"

static const int k_fft_bins = k_spectrum_frames / 2;

// The magnitude scale: a full-scale sine (amplitude 1.0) exactly at a bin's centre frequency
// reads 1.0 in that bin. The transform of such a sine under the Hann window is the amplitude
// times half the window's sum, and the window sums to N/2, hence 4/N. The soundtrack's
// measuring tools call pcm_spectrum, so their figures are the show's.
static const float k_spectrum_scale = 4.0f / k_spectrum_frames;

static kiss_fftr_cfg g_fft = nullptr;
static float g_window[k_spectrum_frames];

// The periodic Hann window, which sums to exactly N/2.
bool init_spectrum()
{
    const double pi = 3.14159265358979323846;
    for (int n = 0; n < k_spectrum_frames; ++n)
        g_window[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * n / k_spectrum_frames));
    g_fft = kiss_fftr_alloc(k_spectrum_frames, 0, nullptr, nullptr);
    return g_fft != nullptr;
}

void free_spectrum()
{
    kiss_fftr_free(g_fft);
    g_fft = nullptr;
}

// The magnitudes of the 1024 frames of `window`, mixed to mono in [-1, 1]. Both the live stream
// and samples in memory come through here, so equal frames give equal values, bit for bit.
// Callers are the show's one thread or a tool's, never two at once (the transform's set-up
// holds its own scratch).
static void transform_window(const std::int16_t* window, float* out)
{
    float samples[k_spectrum_frames];
    kiss_fft_cpx bins[k_fft_bins + 1];
    for (int n = 0; n < k_spectrum_frames; ++n) {
        int sum = window[n * 2] + window[n * 2 + 1];
        samples[n] = static_cast<float>(sum) / 65536.0f * g_window[n];
    }
    kiss_fftr(g_fft, samples, bins);
    for (int k = 0; k < k_fft_bins; ++k)
        out[k] = std::sqrt(bins[k].r * bins[k].r + bins[k].i * bins[k].i) * k_spectrum_scale;
}

bool pcm_spectrum(const std::int16_t* pcm, std::int64_t frames, std::int64_t end_frame, float* out)
{
    if (!g_fft) {
        std::memset(out, 0, sizeof(float) * k_fft_bins);
        return false;
    }
    std::int16_t window[k_spectrum_frames * 2];
    for (int n = 0; n < k_spectrum_frames; ++n) {
        std::int64_t frame = end_frame - k_spectrum_frames + n;
        bool inside = frame >= 0 && frame < frames;
        window[n * 2] = inside ? pcm[frame * 2] : 0;
        window[n * 2 + 1] = inside ? pcm[frame * 2 + 1] : 0;
    }
    transform_window(window, out);
    return true;
}

// Only the FFT1024 request is served. Without a stream (handle 0 among others) the call
// fails with (DWORD)-1 and the buffer gets 512 zeros, so a silent spectrum is what it holds.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length)
{
    const DWORD failed = static_cast<DWORD>(-1);
    if (length != BASS_DATA_FFT1024 || !buffer) return failed;
    float* out = static_cast<float*>(buffer);

    bass_stream* s = find_stream(handle);
    if (!s || !g_fft) {
        std::memset(out, 0, sizeof(float) * k_fft_bins);
        return failed;
    }

    // the stream's samples are the mixer's while the output runs: a copy is taken under its lock
    std::int64_t heard = static_cast<std::int64_t>(heard_frame(s->heard, stream_rate(s)));
    std::int16_t window[k_spectrum_frames * 2];
    audio_output_lock();
    copy_held(s->pcm, heard - k_spectrum_frames, k_spectrum_frames, window);
    audio_output_unlock();
    transform_window(window, out);
    return k_fft_bins * sizeof(float);
}
