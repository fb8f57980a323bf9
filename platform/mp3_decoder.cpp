// Our audio layer's MP3 decoder: finds the stream in a file, learns its exact length, and decodes
// it a frame at a time as it is read.
//
// Finding it: past any ID3v2 tags, the stream starts at the first run of layer III headers of one
// kind within the first k_search_bytes (find_first_frame), as players find it behind a little
// junk. A file with none there (a WAV, an MP1 or MP2, random bytes) is refused: mpg123 alone
// would find false frames in any large enough file.
//
// Its length, without decoding: the Info tag's frame count when the tag fits the file, otherwise
// a count of the frames (mpg123 reads their headers and skips their data, the same walk the
// decoding makes). The encoder's delay plus mpg123's decoder delay (529) is cut from the start
// and its padding from the end, so frame 0 is the first sound, as a gapless player gives it.
//
// Decoding: frame by frame, each header is read before its frame is decoded. Only frames of the
// stream's kind are decoded; a frame of another kind is a damaged header that mpg123 read as a
// change of format, and is not decoded at all (mpg123's layer I and II decoders also write to
// stderr about what a damaged header makes them read): its place is kept as a frame of silence.
#include "platform/mp3_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>

// How far past the tags the stream may start. Junk before the first frame is what a tagger or a
// download left, a few bytes to a few kilobytes; 64 KB holds that many times over, takes one
// read, and keeps a large file of another kind from being searched to its end.
static const long k_search_bytes = 64 * 1024;

// The longest layer III frame: 320 kbit/s at 32 kHz, or 160 kbit/s at 8 kHz, with padding.
static const int k_max_frame_bytes = 1441;

// A seek decodes at least this many frames before the one it lands in, as a read from the start
// would have: the bit reservoir reaches back up to 511 bytes, eleven frames at the lowest
// bitrates, and the filter bank's overlap one frame more. It starts a fresh decoder on a
// multiple of it, too: the synthesis filter's buffer turns through 16 places as frames are
// decoded and rounds a little differently in each (mono and MPEG-2 streams show it, by one in
// the last bit), so a seek starts where a read from the first frame stands in the same place.
static const int k_seek_preroll = 16;

// mpg123's reader, over the stream's part of the file: the decoder's byte 0 is the first frame.
static mpg123_ssize_t read_stream_bytes(void* handle, void* buffer, std::size_t bytes)
{
    mp3_decoder* d = static_cast<mp3_decoder*>(handle);
    std::size_t got = std::fread(buffer, 1, bytes, d->file);
    if (got == 0 && std::ferror(d->file)) return -1;
    return static_cast<mpg123_ssize_t>(got);
}

static off_t seek_stream_bytes(void* handle, off_t offset, int whence)
{
    mp3_decoder* d = static_cast<mp3_decoder*>(handle);
    if (whence == SEEK_SET) offset += d->start;
    if (fseeko(d->file, offset, whence) != 0) return -1;
    off_t at = ftello(d->file) - d->start;
    return at >= 0 ? at : -1;
}

// Every rate mpg123 decodes is accepted as 16-bit stereo, so that a damaged header never stops
// the decoder on a format it may not produce; which frames are kept is decided here.
static bool set_up_mpg123(mp3_decoder* d)
{
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh) return false;
    d->mpg123 = mh;
    // quiet: a damaged file is ours to report, not the library's; the trim is done here
    if (mpg123_param(mh, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0.0) != MPG123_OK) return false;
    // look for the next frame past damage of any length, not only the first kilobyte
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0.0);
    // a seek decodes the frames before its target here (land_at), none inside mpg123
    mpg123_param(mh, MPG123_PREFRAMES, 0, 0.0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return mpg123_replace_reader_handle(mh, read_stream_bytes, seek_stream_bytes, nullptr) == MPG123_OK;
}

// From the stream's first frame again, as when the file was opened.
static bool restart_mpg123(mp3_decoder* d)
{
    mpg123_close(d->mpg123);
    d->next_slot = 0;
    return fseeko(d->file, d->start, SEEK_SET) == 0 && mpg123_open_handle(d->mpg123, d) == MPG123_OK;
}

// Reads the file's start: passes over the ID3v2 tags, finds the first frame, and reads its Info
// tag if it is one. False when no stream starts near the start.
static bool find_stream(mp3_decoder* d, mp3_info_tag* tag, bool* tagged, off_t* file_bytes)
{
    if (fseeko(d->file, 0, SEEK_END) != 0) return false;
    *file_bytes = ftello(d->file);
    long at = 0;
    unsigned char header[10];
    for (;;) {
        if (fseeko(d->file, at, SEEK_SET) != 0 || std::fread(header, 1, 10, d->file) != 10) return false;
        long size = id3v2_tag_size(header);
        if (size == 0) break;
        at += size;
    }

    std::vector<unsigned char> head(k_search_bytes + k_headers_in_a_run * k_max_frame_bytes + 4);
    if (fseeko(d->file, at, SEEK_SET) != 0) return false;
    std::size_t got = std::fread(head.data(), 1, head.size(), d->file);
    long first = find_first_frame(head.data(), got, k_search_bytes);
    if (first < 0) return false;

    // the run's frames all lie in what was read, the first one whole
    d->start = at + first;
    read_frame_header(&head[first], &d->kind);
    *tagged = read_info_tag(&head[first], d->kind, tag);
    return true;
}

// The frames mpg123 finds from the stream's start to the end of the file, read but not decoded.
static std::int64_t count_frames(mp3_decoder* d)
{
    std::int64_t frames = 0;
    for (;;) {
        int err = mpg123_framebyframe_next(d->mpg123);
        if (err != MPG123_OK && err != MPG123_NEW_FORMAT) break;
        ++frames;
    }
    return frames;
}

// Whether a frame of the stream's kind starts at byte `at` of the stream, or after an ID3v2 tag
// there (MP3 files joined one after the other).
static bool frame_at(mp3_decoder* d, std::int64_t at)
{
    unsigned char h[10];
    mp3_frame f;
    if (fseeko(d->file, d->start + at, SEEK_SET) != 0 || std::fread(h, 1, 10, d->file) != 10) return false;
    long tag = id3v2_tag_size(h);
    if (tag > 0 && (fseeko(d->file, d->start + at + tag, SEEK_SET) != 0 || std::fread(h, 1, 4, d->file) != 4))
        return false;
    return read_frame_header(h, &f) && same_stream_kind(f, d->kind);
}

// The stream's length and the samples cut from its start. The tag's count is taken when its
// frames fit its bytes and the file holds those bytes and no frame after them; otherwise (a
// file cut short or run on, a damaged tag) the frames are counted. The tag's delay is cut from
// the start; its padding is cut where its frames end, which is the stream's end unless the
// file was cut short.
static bool measure_stream(mp3_decoder* d, const mp3_info_tag& tag, bool tagged, off_t file_bytes)
{
    bool tag_count_holds = tagged && frames_fit_bytes(d->kind, tag.frames + 1, tag.bytes) &&
        file_bytes - d->start >= tag.bytes && !frame_at(d, tag.bytes);

    std::int64_t frames = tag.frames;
    if (!tag_count_holds) {
        if (!restart_mpg123(d)) return false;
        frames = count_frames(d);
    }

    const std::int64_t spf = d->kind.samples;
    const std::int64_t decoder_delay = 529;
    std::int64_t end = frames * spf;
    d->skip = 0;
    if (tagged && tag.frames > 0 && tag.delay >= 0 && tag.padding >= 0) {
        d->skip = tag.delay + decoder_delay;
        if (tag.frames >= frames) end = std::min(end, tag.frames * spf - tag.padding + decoder_delay);
    }
    d->length = std::max<std::int64_t>(0, end - d->skip);
    return d->length > 0;
}

static bool is_stream_kind(mp3_decoder* d)
{
    mpg123_frameinfo2 info;
    if (mpg123_info2(d->mpg123, &info) != MPG123_OK) return false;
    mp3_frame f;
    f.version = info.version;
    f.layer = info.layer;
    f.rate = info.rate;
    f.mono = info.mode == MPG123_M_MONO;
    return same_stream_kind(f, d->kind);
}

// The next frame of the file into `slot`: decoded when it is of the stream's kind, silence when
// it is not, or when the file ends before the length its tag gave.
static void decode_slot(mp3_decoder* d)
{
    const std::size_t bytes_wanted = static_cast<std::size_t>(d->kind.samples) * 4;
    bool sound = false;
    int err = mpg123_framebyframe_next(d->mpg123);
    if ((err == MPG123_OK || err == MPG123_NEW_FORMAT) && is_stream_kind(d)) {
        off_t number = 0;
        unsigned char* audio = nullptr;
        std::size_t bytes = 0;
        err = mpg123_framebyframe_decode(d->mpg123, &number, &audio, &bytes);
        sound = (err == MPG123_OK || err == MPG123_NEW_FORMAT) && bytes == bytes_wanted;
        if (sound) std::memcpy(d->slot, audio, bytes);
    }
    if (!sound) std::memset(d->slot, 0, bytes_wanted);
    ++d->next_slot;
    d->slot_read = 0;
}

// Decodes the frame that holds stream frame `frame`, and the frames before it that its sound
// depends on; or, when it is a little way ahead, the frames on the way to it.
static void land_at(mp3_decoder* d, std::int64_t frame)
{
    const std::int64_t spf = d->kind.samples;
    const std::int64_t target = (frame + d->skip) / spf;
    const bool nearby_ahead = d->next_slot > 0 && target >= d->next_slot - 1 && target - d->next_slot < k_seek_preroll;
    if (!nearby_ahead) {
        // from a fresh decoder, for the filter's phase: mpg123's seek keeps the state it had
        std::int64_t first = std::max<std::int64_t>(0, (target - k_seek_preroll) / k_seek_preroll * k_seek_preroll);
        restart_mpg123(d);
        if (first > 0 && mpg123_seek_frame(d->mpg123, static_cast<off_t>(first), SEEK_SET) < 0) {
            restart_mpg123(d);
            first = 0;
        }
        d->next_slot = first;
    }
    while (d->next_slot <= target) decode_slot(d);
    d->slot_read = static_cast<int>((frame + d->skip) % spf);
    d->position = frame;
}

bool open_mp3(const char* path, mp3_decoder* d)
{
    d->file = std::fopen(path, "rb");
    if (!d->file) return false;
    std::setvbuf(d->file, nullptr, _IOFBF, 64 * 1024);

    mp3_info_tag tag;
    bool tagged = false;
    off_t file_bytes = 0;
    bool ok = find_stream(d, &tag, &tagged, &file_bytes) && set_up_mpg123(d) &&
        measure_stream(d, tag, tagged, file_bytes);
    if (!ok) {
        close_mp3(d);
        return false;
    }
    land_at(d, 0);
    return true;
}

void close_mp3(mp3_decoder* d)
{
    if (d->mpg123) {
        mpg123_close(d->mpg123);
        mpg123_delete(d->mpg123);
        d->mpg123 = nullptr;
    }
    if (d->file) std::fclose(d->file);
    d->file = nullptr;
}

int read_mp3(mp3_decoder* d, std::int16_t* out, int frames)
{
    const int spf = d->kind.samples;
    int done = 0;
    while (done < frames && d->position < d->length) {
        if (d->slot_read == spf) decode_slot(d);
        std::int64_t n = std::min<std::int64_t>({frames - done, spf - d->slot_read, d->length - d->position});
        std::memcpy(out + done * 2, d->slot + d->slot_read * 2, static_cast<std::size_t>(n) * 4);
        done += static_cast<int>(n);
        d->slot_read += static_cast<int>(n);
        d->position += n;
    }
    return done;
}

void seek_mp3(mp3_decoder* d, std::int64_t frame)
{
    frame = std::max<std::int64_t>(0, std::min(frame, d->length));
    if (frame != d->position) land_at(d, frame);
}

bool decode_mp3_file(const char* path, std::vector<std::int16_t>& pcm, int& rate)
{
    mp3_decoder d;
    if (!open_mp3(path, &d)) return false;
    pcm.assign(static_cast<std::size_t>(d.length) * 2, 0);
    const int chunk = 1 << 20;
    for (std::int64_t at = 0; at < d.length; at += chunk)
        read_mp3(&d, pcm.data() + at * 2, static_cast<int>(std::min<std::int64_t>(chunk, d.length - at)));
    rate = static_cast<int>(d.kind.rate);
    close_mp3(&d);
    return true;
}
