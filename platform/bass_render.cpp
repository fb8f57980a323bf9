// Our audio layer's mixer: fills an output buffer from the playing streams, at the output's rate.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/bass_render.h"

#include "platform/position_model.h"
#include "platform/stream_table.h"

int g_mix_rate = 44100;

static const int k_mix_frames = 4096;
static std::int32_t g_mix[k_mix_frames * 2];
static double g_chunk_start[k_max_streams];

// At equal rates the frames are copied as they are; otherwise each output frame is the
// straight line between the two source frames around it (silence after the last one).
static void add_stream(bass_stream* s, std::int32_t* mix, int frames)
{
    const std::int16_t* pcm = s->pcm.data();
    const std::int64_t length = s->frames;
    const double start = s->next_frame;
    const double step = static_cast<double>(s->rate) / g_mix_rate;

    if (s->rate == g_mix_rate && start == std::floor(start)) {
        std::int64_t first = static_cast<std::int64_t>(start);
        std::int64_t count = length - first;
        if (count > frames) count = frames;
        for (std::int64_t k = 0; k < count * 2; ++k) mix[k] += pcm[first * 2 + k];
        if (count > 0) s->next_frame = static_cast<double>(first + count);
        return;
    }

    int k = 0;
    for (; k < frames; ++k) {
        double pos = start + k * step;
        if (pos >= static_cast<double>(length)) break;
        std::int64_t i = static_cast<std::int64_t>(pos);
        double f = pos - static_cast<double>(i);
        bool has_next = i + 1 < length;
        for (int c = 0; c < 2; ++c) {
            double a = pcm[i * 2 + c];
            double b = has_next ? pcm[(i + 1) * 2 + c] : 0.0;
            mix[k * 2 + c] += static_cast<std::int32_t>(std::lrint(a + (b - a) * f));
        }
    }
    double next = start + k * step;
    s->next_frame = next < static_cast<double>(length) ? next : static_cast<double>(length);
}

void render_streams(std::int16_t* out, int frames)
{
    const std::int64_t now_ns = steady_now_ns();
    bass_stream* playing[k_max_streams];
    int count = 0;
    for (auto& slot : g_bass_streams) {
        bass_stream* s = slot.load(std::memory_order_acquire);
        if (s && s->playing) {
            g_chunk_start[count] = s->next_frame;
            playing[count++] = s;
        }
    }

    for (int done = 0; done < frames; done += k_mix_frames) {
        int block = frames - done < k_mix_frames ? frames - done : k_mix_frames;
        std::memset(g_mix, 0, sizeof(std::int32_t) * 2 * block);
        for (int i = 0; i < count; ++i) add_stream(playing[i], g_mix, block);
        std::int16_t* dst = out + done * 2;
        for (int k = 0; k < block * 2; ++k) {
            std::int32_t v = g_mix[k];
            dst[k] = static_cast<std::int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
        }
    }

    // The buffer just filled waits behind the one the output is playing now: while playing
    // without a jump, the listener is at the previous chunk's start; after a start or a seek,
    // this chunk's first frame is heard one buffer from now.
    const std::int64_t buffer_ns = static_cast<std::int64_t>(frames) * 1000000000 / g_mix_rate;
    for (int i = 0; i < count; ++i) {
        bass_stream* s = playing[i];
        double chunk_start = g_chunk_start[i];
        if (s->continuous) publish_heard(s->heard, s->prev_chunk_start, now_ns, s->next_frame, true);
        else publish_heard(s->heard, chunk_start, now_ns + buffer_ns, s->next_frame, true);
        s->prev_chunk_start = chunk_start;
        s->continuous = true;
    }
}
