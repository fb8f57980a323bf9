// Our audio layer's mixer: fills an output buffer from the playing streams, at the output's rate.
#include "platform/bass_render.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/pcm_spectrum.h"
#include "platform/position_model.h"

static const int k_mix_frames = 4096;

static int g_mix_rate = 44100;                // the output's; set before it can call the mixer
static std::int32_t g_mix[k_mix_frames * 2];  // the output's thread's scratch

// At equal rates the frames are copied as they are; otherwise each output frame is the
// straight line between the two source frames around it (silence after the last one). The
// frames are decoded as they are reached.
static void add_stream(bass_stream* s, std::int32_t* mix, int frames)
{
    const std::int64_t length = stream_length(s);
    const int rate = stream_rate(s);
    const double start = s->next_frame;
    const double step = static_cast<double>(rate) / g_mix_rate;

    if (rate == g_mix_rate && start == std::floor(start)) {
        std::int64_t first = static_cast<std::int64_t>(start);
        std::int64_t count = length - first;
        if (count > frames) count = frames;
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int16_t* f = held_frame(s->pcm, &s->decoder, first + k);
            mix[k * 2] += f[0];
            mix[k * 2 + 1] += f[1];
        }
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
        // the later frame first: decoding up to it keeps the earlier one held too
        const std::int16_t* b_frame = has_next ? held_frame(s->pcm, &s->decoder, i + 1) : nullptr;
        const std::int16_t* a_frame = held_frame(s->pcm, &s->decoder, i);
        for (int c = 0; c < 2; ++c) {
            double a = a_frame[c];
            double b = has_next ? b_frame[c] : 0.0;
            mix[k * 2 + c] += static_cast<std::int32_t>(std::lrint(a + (b - a) * f));
        }
    }
    double next = start + k * step;
    s->next_frame = next < static_cast<double>(length) ? next : static_cast<double>(length);
}

// The output's callback, with the output locked.
static void render_streams(std::int16_t* out, int frames)
{
    const std::int64_t now_ns = steady_now_ns();
    bass_stream* playing[k_max_streams];
    int count = 0;
    for (DWORD handle = 1; handle <= static_cast<DWORD>(k_max_streams); ++handle) {
        bass_stream* s = find_stream(handle);
        if (s && s->playing) {
            s->chunk_start = s->next_frame;
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
        if (s->continuous) publish_heard(s->heard, s->prev_chunk_start, now_ns, s->next_frame, true);
        else publish_heard(s->heard, s->chunk_start, now_ns + buffer_ns, s->next_frame, true);
        s->prev_chunk_start = s->chunk_start;
        s->continuous = true;
    }
}

bool open_mixer(audio_output_kind kind, int rate)
{
    g_mix_rate = rate;
    return audio_output_open(kind, rate, render_streams);
}

// The spectrum reads the frames before the one heard, so they are decoded with it.
static void restart_from(bass_stream* s, double frame)
{
    s->next_frame = frame;
    s->continuous = false;
    stand_at(s->heard, frame);
    hold_before(s->pcm, &s->decoder, static_cast<std::int64_t>(frame), k_spectrum_frames);
}

void play_stream(bass_stream* s, bool restart)
{
    bool was_playing = s->playing;
    s->playing = true;
    if (restart) restart_from(s, 0.0);
    else if (!was_playing) restart_from(s, s->next_frame);
}

void move_stream(bass_stream* s, std::int64_t frame)
{
    restart_from(s, static_cast<double>(frame));
}
