// A stream's decoded samples around where it plays, in a ring the decoder fills as they are needed.
#include "platform/stream_pcm.h"

#include <algorithm>
#include <cstring>

// Each decode goes this far at least, so the mixer does not call the decoder frame by frame.
static const std::int64_t k_decode_step = 1024;

// A jump ahead shorter than this decodes the frames on the way instead of seeking.
static const std::int64_t k_decode_through = k_pcm_frames / 2;

void start_pcm(stream_pcm& p)
{
    p.ring.assign(static_cast<std::size_t>(k_pcm_frames) * 2, 0);
    p.from = 0;
    p.to = 0;
}

void decode_until(stream_pcm& p, mp3_decoder* d, std::int64_t until)
{
    if (until <= p.to) return;
    std::int64_t target = std::min(d->length, std::max(until, p.to + k_decode_step));
    while (p.to < target) {
        std::int64_t at = p.to & (k_pcm_frames - 1);
        std::int64_t count = std::min(target - p.to, k_pcm_frames - at);
        int got = read_mp3(d, &p.ring[static_cast<std::size_t>(at) * 2], static_cast<int>(count));
        p.to += got;
        p.from = std::max(p.from, p.to - k_pcm_frames);
        if (got < count) break;
    }
}

void hold_before(stream_pcm& p, mp3_decoder* d, std::int64_t frame, int history)
{
    std::int64_t first = std::max<std::int64_t>(0, frame - history);
    if (first < p.from || first > p.to + k_decode_through) {
        seek_mp3(d, first);
        p.from = first;
        p.to = first;
    }
    decode_until(p, d, frame);
}

void copy_held(const stream_pcm& p, std::int64_t first, int count, std::int16_t* out)
{
    std::memset(out, 0, static_cast<std::size_t>(count) * 4);
    std::int64_t from = std::max(first, p.from);
    std::int64_t to = std::min(first + count, p.to);
    while (from < to) {
        std::int64_t at = from & (k_pcm_frames - 1);
        std::int64_t n = std::min(to - from, k_pcm_frames - at);
        std::memcpy(out + (from - first) * 2, &p.ring[static_cast<std::size_t>(at) * 2],
                    static_cast<std::size_t>(n) * 4);
        from += n;
    }
}
