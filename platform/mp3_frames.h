// MPEG audio frame headers, ID3v2 tags and the Info tag, read from bytes: how our audio layer
// finds an MP3 stream in a file and learns its exact length.
#pragma once

#include <cstddef>
#include <cstdint>

// What a frame header says, as far as finding and following a stream needs it.
struct mp3_frame {
    int version = -1;   // 0: MPEG-1, 1: MPEG-2, 2: MPEG-2.5 (mpg123's numbering)
    int layer = 0;      // 1, 2 or 3
    long rate = 0;      // samples per second
    bool mono = false;  // one channel; stereo, joint stereo and dual channel are all two
    bool crc = false;   // a 16-bit check follows the header
    int bytes = 0;      // the whole frame, header included; layer III only, 0 otherwise
    int samples = 0;    // samples per channel; layer III only, 0 otherwise
};

// Reads the 4 header bytes at `h`; false when they are not a frame header (free-format and
// reserved values included).
bool read_frame_header(const unsigned char* h, mp3_frame* f);

// Frames of one kind belong to one stream; a frame of another kind in it is a damaged header.
bool same_stream_kind(const mp3_frame& a, const mp3_frame& b);

// Layer III headers that must follow one another, each where the frame before it ends and all of
// one kind, before a position is taken for the start of a stream. One header turns up by chance
// about once in 16 KB of random bytes, and the header after it agrees about once in 200,000
// tries: two are enough where the data starts (a damaged third frame then costs only itself),
// four anywhere else in the bytes searched.
const int k_headers_at_start = 2;
const int k_headers_in_a_run = 4;

// The offset of the first layer III frame below `limit` that starts such a run within
// `data[0, size)`, or -1 when there is none.
long find_first_frame(const unsigned char* data, std::size_t size, std::size_t limit);

// The size of the ID3v2 tag whose 10-byte header is at `h`, footer included, or 0 when `h` does
// not start one.
long id3v2_tag_size(const unsigned char* h);

// What the encoder wrote into the stream's first frame (a Xing or Info tag, with LAME's
// extension): how many frames follow it and how many samples to cut at either end.
struct mp3_info_tag {
    std::int64_t frames = 0;  // audio frames after the tag's own, 0 when not given
    std::int64_t bytes = 0;   // bytes of the stream from the tag's frame on, 0 when not given
    int delay = -1;           // encoder delay in samples, -1 when not given
    int padding = -1;         // encoder padding at the end in samples, -1 when not given
};

// Whether `frames` layer III frames of the kind of `f` can take exactly `bytes` bytes: a tag that
// claims otherwise is damaged or does not belong to the file.
bool frames_fit_bytes(const mp3_frame& f, std::int64_t frames, std::int64_t bytes);

// Reads the tag from the stream's first frame, `f.bytes` long at `frame`; false when the frame
// carries none (it is then a frame of sound).
bool read_info_tag(const unsigned char* frame, const mp3_frame& f, mp3_info_tag* tag);
