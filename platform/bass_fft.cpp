// Our audio layer's spectrum: BASS_ChannelGetData with BASS_DATA_FFT1024, and the same values of samples in memory.
#include <kiss_fftr.h>

#include <cmath>
#include <cstring>

#include "platform/bass_fft.h"

#include "platform/bass.h"
#include "platform/pcm_spectrum.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"

static const int k_fft_size = 1024;
static const int k_fft_bins = k_fft_size / 2;

// The magnitude scale: a full-scale sine (amplitude 1.0) exactly at a bin's centre frequency
// reads 1.0 in that bin. The transform of such a sine under the Hann window is the amplitude
// times half the window's sum, and the window sums to N/2, hence 4/N. The soundtrack's
// measuring tools call pcm_spectrum, so their figures are the show's.
static const float k_spectrum_scale = 4.0f / k_fft_size;

static kiss_fftr_cfg g_fft = nullptr;
static float g_window[k_fft_size];
static float g_samples[k_fft_size];
static kiss_fft_cpx g_bins[k_fft_bins + 1];

// The periodic Hann window, which sums to exactly N/2.
bool init_spectrum()
{
    const double pi = 3.14159265358979323846;
    for (int n = 0; n < k_fft_size; ++n)
        g_window[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * n / k_fft_size));
    g_fft = kiss_fftr_alloc(k_fft_size, 0, nullptr, nullptr);
    return g_fft != nullptr;
}

void free_spectrum()
{
    kiss_fftr_free(g_fft);
    g_fft = nullptr;
}

// The 1024 frames ending at `end`, mixed to mono in [-1, 1], zeros before the start and
// after the end.
static void gather_window(const std::int16_t* pcm, std::int64_t frames, std::int64_t end)
{
    for (int n = 0; n < k_fft_size; ++n) {
        std::int64_t frame = end - k_fft_size + n;
        float mono = 0.0f;
        if (frame >= 0 && frame < frames) {
            int sum = pcm[frame * 2] + pcm[frame * 2 + 1];
            mono = static_cast<float>(sum) / 65536.0f;
        }
        g_samples[n] = mono * g_window[n];
    }
}

// The static buffers make this allocation-free; callers are the show's one thread or a
// tool's, never two at once.
bool pcm_spectrum(const std::int16_t* pcm, std::int64_t frames, std::int64_t end_frame, float* out)
{
    if (!g_fft) {
        std::memset(out, 0, sizeof(float) * k_fft_bins);
        return false;
    }
    gather_window(pcm, frames, end_frame);
    kiss_fftr(g_fft, g_samples, g_bins);
    for (int k = 0; k < k_fft_bins; ++k)
        out[k] = std::sqrt(g_bins[k].r * g_bins[k].r + g_bins[k].i * g_bins[k].i) * k_spectrum_scale;
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

    pcm_spectrum(s->pcm.data(), s->frames, static_cast<std::int64_t>(heard_frame(s->heard, s->rate)), out);
    return k_fft_bins * sizeof(float);
}
