// A stream's decoded samples around where it plays: decoded as the mixer reaches them, a bounded
// distance ahead, with the latest k_pcm_frames kept behind for the spectrum.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/mp3_decoder.h"

// 65536 stereo frames, 256 KB: 1.5 s at 44.1 kHz. The spectrum reads 1024 frames behind the
// listener, who trails the mixer by the output's buffer or two; the mixer's block reads ahead.
// Outputs with buffers of up to half a second leave the spectrum every frame it reads.
const std::int64_t k_pcm_frames = 1 << 16;

// Frame f lives at f mod k_pcm_frames. Read and written only with the output locked.
struct stream_pcm {
    std::vector<std::int16_t> ring;
    std::int64_t from = 0;  // the stream frames [from, to) are held
    std::int64_t to = 0;    // and the decoder goes on from `to`
};

void start_pcm(stream_pcm& p);

// Decodes on until frame `until` is held, or the stream ends.
void decode_until(stream_pcm& p, mp3_decoder* d, std::int64_t until);

// Frame `f` of the stream, before its end, decoded first if it is not held yet.
inline const std::int16_t* held_frame(stream_pcm& p, mp3_decoder* d, std::int64_t f)
{
    if (f >= p.to) decode_until(p, d, f + 1);
    return &p.ring[static_cast<std::size_t>(f & (k_pcm_frames - 1)) * 2];
}

// Makes the `history` frames before `frame` held, with the decoding going on from there: from
// what is held, or a short way ahead of it, else from a seek.
void hold_before(stream_pcm& p, mp3_decoder* d, std::int64_t frame, int history);

// Copies `count` frames from `first` on into `out`; a frame that is not held is silence.
void copy_held(const stream_pcm& p, std::int64_t first, int count, std::int16_t* out);
