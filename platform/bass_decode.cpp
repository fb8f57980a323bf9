// Our audio layer's decoder: a whole MP3 file into 16-bit stereo, past damaged frames.
//
// A file is taken for MP3 only when its audio data (after any ID3v2 tags) opens with a layer
// III frame header; anything else (a WAV under the soundtrack's name, say) is refused, since
// mpg123 finds false frames in any large enough file. Within the stream, the first frame's kind
// (version, layer, rate, mono or not) is the stream's: a frame of another kind is a damaged
// header that mpg123 read as a change of format, and its place is kept as one frame of
// silence, so the stream keeps its rate and its length.
//
// Every frame is read, so the length is exact without mpg123's scan of the headers (which
// would also drop the gapless trim once it counted a damaged frame).
#include <mpg123.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/bass_decode.h"

struct frame_kind {
    int version = -1;
    int layer = 0;
    long rate = 0;
    bool mono = false;
};

// Where the audio data starts: after the ID3v2 tags (there may be several), or -1 when the
// file is too short to tell.
static long audio_start(std::FILE* f)
{
    long at = 0;
    unsigned char tag[10];
    for (;;) {
        if (std::fseek(f, at, SEEK_SET) != 0 || std::fread(tag, 1, 10, f) != 10) return -1;
        if (std::memcmp(tag, "ID3", 3) != 0) return at;
        // the size is four 7-bit bytes; a footer, when flagged, adds another 10
        long size = (long(tag[6] & 0x7f) << 21) | (long(tag[7] & 0x7f) << 14) | (long(tag[8] & 0x7f) << 7) |
            long(tag[9] & 0x7f);
        at += 10 + size + ((tag[5] & 0x10) ? 10 : 0);
    }
}

// An MP3 frame header: 11 sync bits, layer III (bits 01), no reserved version, bitrate or rate.
static bool is_frame_header(const unsigned char* h)
{
    return h[0] == 0xff && (h[1] & 0xe0) == 0xe0 && ((h[1] >> 3) & 3) != 1 && ((h[1] >> 1) & 3) == 1 &&
        (h[2] >> 4) != 15 && ((h[2] >> 2) & 3) != 3;
}

static bool starts_with_mpeg_audio(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char header[4];
    long at = audio_start(f);
    bool ok = at >= 0 && std::fseek(f, at, SEEK_SET) == 0 && std::fread(header, 1, 4, f) == 4 &&
        is_frame_header(header);
    std::fclose(f);
    return ok;
}

static frame_kind kind_of_frame(mpg123_handle* mh)
{
    frame_kind k;
    mpg123_frameinfo2 info;
    if (mpg123_info2(mh, &info) != MPG123_OK) return k;
    k.version = info.version;
    k.layer = info.layer;
    k.rate = info.rate;
    k.mono = info.mode == MPG123_M_MONO;
    return k;
}

static bool same_kind(const frame_kind& a, const frame_kind& b)
{
    return a.version == b.version && a.layer == b.layer && a.rate == b.rate && a.mono == b.mono;
}

// Every rate mpg123 decodes is accepted as 16-bit stereo, so that a damaged header never
// stops the decoder on a format it may not produce; which frames are kept is decided here.
static bool set_up_decoder(mpg123_handle* mh)
{
    // gapless: the encoder's delay and padding are cut, so frame 0 is the first sound;
    // quiet: a damaged file is ours to report, not the library's
    if (mpg123_param(mh, MPG123_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0) != MPG123_OK)
        return false;
    // look for the next frame past damage of any length, not only the first kilobyte
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0.0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return true;
}

// Only layer III frames are decoded: mpg123's layer I and II decoders write to stderr, quiet
// or not, about the damaged frames a damaged header makes them read.
static const int k_mp3_layer = 3;

// Frame by frame, each header is read before its frame is decoded: a frame of the stream's
// kind is decoded to sound; another is not decoded at all, and becomes a frame of silence.
// The first layer III frame sets the stream's kind: mpg123 takes a first frame only when the
// header after it agrees, so a damaged one is not taken for it.
static void decode_frames(mpg123_handle* mh, bass_stream* s)
{
    frame_kind stream;
    std::size_t stream_spf = 0;
    for (;;) {
        int err = mpg123_framebyframe_next(mh);
        if (err != MPG123_OK && err != MPG123_NEW_FORMAT) break;  // the end, or unreadable

        frame_kind kind = kind_of_frame(mh);
        if (stream.rate == 0 && kind.layer == k_mp3_layer) {
            stream = kind;
            stream_spf = static_cast<std::size_t>(mpg123_spf(mh));
        }
        if (stream.rate == 0) continue;
        if (!same_kind(kind, stream)) {
            s->pcm.resize(s->pcm.size() + stream_spf * 2, 0);
            continue;
        }

        off_t number = 0;
        unsigned char* audio = nullptr;
        std::size_t bytes = 0;
        err = mpg123_framebyframe_decode(mh, &number, &audio, &bytes);
        if (err != MPG123_OK && err != MPG123_NEW_FORMAT) break;
        const std::int16_t* pcm = reinterpret_cast<const std::int16_t*>(audio);
        s->pcm.insert(s->pcm.end(), pcm, pcm + bytes / 2);
    }
    s->rate = static_cast<int>(stream.rate);
}

bool decode_file(const std::string& path, bass_stream* s)
{
    if (!starts_with_mpeg_audio(path)) return false;

    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh) return false;
    bool opened = set_up_decoder(mh) && mpg123_open(mh, path.c_str()) == MPG123_OK;
    if (opened) {
        decode_frames(mh, s);
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    s->pcm.shrink_to_fit();

    s->frames = static_cast<std::int64_t>(s->pcm.size() / 2);
    return opened && s->rate > 0 && s->frames > 0;
}
