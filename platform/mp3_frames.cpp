// MPEG audio frame headers, ID3v2 tags and the Info tag, read from bytes.
#include "platform/mp3_frames.h"

#include <cstring>

// Layer III bitrates in kbit/s by index: MPEG-1, then MPEG-2 and 2.5. Index 0 is free format,
// 15 is not allowed.
static const int k_layer3_kbps[2][15] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
static const long k_mpeg1_rates[3] = {44100, 48000, 32000};

// The 1152 samples of an MPEG-1 layer III frame take 144 bytes per kbit/s at 1 kHz; the 576
// of MPEG-2 and 2.5 take half that.
bool read_frame_header(const unsigned char* h, mp3_frame* f)
{
    if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0) return false;
    int version_bits = (h[1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    int layer_bits = (h[1] >> 1) & 3;    // 1: layer III, 2: II, 3: I
    int bitrate = h[2] >> 4;
    int rate_index = (h[2] >> 2) & 3;
    if (version_bits == 1 || layer_bits == 0 || bitrate == 0 || bitrate == 15 || rate_index == 3) return false;

    mp3_frame r;
    r.version = version_bits == 3 ? 0 : (version_bits == 2 ? 1 : 2);
    r.layer = 4 - layer_bits;
    r.rate = k_mpeg1_rates[rate_index] >> r.version;
    r.mono = (h[3] >> 6) == 3;
    r.crc = (h[1] & 1) == 0;
    if (r.layer == 3) {
        bool mpeg1 = r.version == 0;
        long bits_per_second = k_layer3_kbps[mpeg1 ? 0 : 1][bitrate] * 1000L;
        r.samples = mpeg1 ? 1152 : 576;
        r.bytes = static_cast<int>((mpeg1 ? 144 : 72) * bits_per_second / r.rate) + ((h[2] >> 1) & 1);
    }
    *f = r;
    return true;
}

bool frames_fit_bytes(const mp3_frame& f, std::int64_t frames, std::int64_t bytes)
{
    if (f.layer != 3 || frames <= 0) return false;
    const bool mpeg1 = f.version == 0;
    const std::int64_t per_kbps = mpeg1 ? 144000 : 72000;
    const int* kbps = k_layer3_kbps[mpeg1 ? 0 : 1];
    std::int64_t smallest = per_kbps * kbps[1] / f.rate;
    std::int64_t largest = per_kbps * kbps[14] / f.rate + 1;
    return bytes >= frames * smallest && bytes <= frames * largest;
}

bool same_stream_kind(const mp3_frame& a, const mp3_frame& b)
{
    return a.version == b.version && a.layer == b.layer && a.rate == b.rate && a.mono == b.mono;
}

// Whether a run of `headers` layer III headers of one kind starts at `at`.
static bool run_starts_at(const unsigned char* data, std::size_t size, std::size_t at, int headers)
{
    mp3_frame first;
    if (at + 4 > size || !read_frame_header(data + at, &first) || first.layer != 3) return false;
    mp3_frame f = first;
    for (int i = 1; i < headers; ++i) {
        at += static_cast<std::size_t>(f.bytes);
        mp3_frame next;
        if (at + 4 > size || !read_frame_header(data + at, &next) || !same_stream_kind(first, next)) return false;
        f = next;
    }
    return true;
}

long find_first_frame(const unsigned char* data, std::size_t size, std::size_t limit)
{
    if (run_starts_at(data, size, 0, k_headers_at_start)) return 0;
    for (std::size_t at = 1; at < limit && at + 4 <= size; ++at)
        if (run_starts_at(data, size, at, k_headers_in_a_run)) return static_cast<long>(at);
    return -1;
}

// The size is four 7-bit bytes; a footer, when flagged, adds another 10.
long id3v2_tag_size(const unsigned char* h)
{
    if (std::memcmp(h, "ID3", 3) != 0) return 0;
    long size = (long(h[6] & 0x7f) << 21) | (long(h[7] & 0x7f) << 14) | (long(h[8] & 0x7f) << 7) | long(h[9] & 0x7f);
    return 10 + size + ((h[5] & 0x10) ? 10 : 0);
}

static std::int64_t big_endian_32(const unsigned char* p)
{
    return (std::int64_t(p[0]) << 24) | (std::int64_t(p[1]) << 16) | (std::int64_t(p[2]) << 8) | std::int64_t(p[3]);
}

// The tag follows the side information: 32 bytes for MPEG-1 with two channels, 17 for MPEG-1
// mono and MPEG-2 with two, 9 for MPEG-2 mono. After its optional fields (frames, bytes, a
// 100-byte table of contents, a quality) comes LAME's extension, which holds the delay and the
// padding as two 12-bit numbers 21 bytes in.
bool read_info_tag(const unsigned char* frame, const mp3_frame& f, mp3_info_tag* tag)
{
    if (f.layer != 3) return false;
    int side = f.version == 0 ? (f.mono ? 17 : 32) : (f.mono ? 9 : 17);
    const long size = f.bytes;
    long at = 4 + (f.crc ? 2 : 0) + side;
    if (at + 8 > size) return false;
    if (std::memcmp(frame + at, "Xing", 4) != 0 && std::memcmp(frame + at, "Info", 4) != 0) return false;

    mp3_info_tag t;
    std::int64_t flags = big_endian_32(frame + at + 4);
    at += 8;
    if ((flags & 1) && at + 4 <= size) t.frames = big_endian_32(frame + at);
    if (flags & 1) at += 4;
    if ((flags & 2) && at + 4 <= size) t.bytes = big_endian_32(frame + at);
    if (flags & 2) at += 4;
    if (flags & 4) at += 100;
    if (flags & 8) at += 4;
    if (at + 24 <= size) {
        const unsigned char* lame = frame + at;
        t.delay = (lame[21] << 4) | (lame[22] >> 4);
        t.padding = ((lame[22] & 0x0f) << 8) | lame[23];
    }
    *tag = t;
    return true;
}
