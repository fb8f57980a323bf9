// Our audio layer's streams: BASS_StreamCreateFile decodes a whole MP3 file into memory.
//
// Decoding everything up front (83 s of 16-bit stereo is about 15 MB) makes the length,
// every seek and every spectrum window exact, and leaves the audio thread nothing to do
// but copy: it never waits on the decoder or the disk.
#include <mpg123.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/bass.h"
#include "platform/bass_device.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"

static const std::size_t k_decode_chunk = 32 * 1024;  // samples per read

// The show spells its soundtrack's folder "Data" and its images' folder "data"; on a file
// system that tells case apart both must reach the one data folder.
static std::string existing_path(const char* path)
{
    if (access(path, F_OK) == 0) return path;
    if (std::strncmp(path, "Data/", 5) == 0) {
        std::string lower = std::string("data/") + (path + 5);
        if (access(lower.c_str(), F_OK) == 0) return lower;
    }
    return path;
}

static bool decode_file(mpg123_handle* mh, const std::string& path, bool prescan, bass_stream* s)
{
    // gapless: the encoder's delay and padding are cut, so frame 0 is the first sound
    mpg123_param(mh, MPG123_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    if (mpg123_open(mh, path.c_str()) != MPG123_OK) return false;

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0) return false;
    mpg123_format_none(mh);
    if (mpg123_format(mh, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) return false;

    // the scan reads every frame header, for the exact length before decoding
    if (prescan && mpg123_scan(mh) == MPG123_OK) {
        off_t length = mpg123_length(mh);
        if (length > 0) s->pcm.reserve(static_cast<std::size_t>(length) * 2);
    }

    std::int16_t chunk[k_decode_chunk];
    for (;;) {
        std::size_t got = 0;
        int err = mpg123_read(mh, reinterpret_cast<unsigned char*>(chunk), sizeof chunk, &got);
        s->pcm.insert(s->pcm.end(), chunk, chunk + got / 2);
        if (err == MPG123_NEW_FORMAT) continue;
        // a decoding error ends the stream where it happens: what came before still plays
        if (err != MPG123_OK) break;
    }
    mpg123_close(mh);

    s->rate = static_cast<int>(rate);
    s->frames = static_cast<std::int64_t>(s->pcm.size() / 2);
    return s->frames > 0;
}

// Only whole files are read: memory streams, offsets and lengths are not needed here.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags)
{
    if (!g_bass_ready || mem || !file || offset != 0 || length != 0) return 0;

    int slot = 0;
    while (slot < k_max_streams && g_bass_streams[slot].load()) ++slot;
    if (slot == k_max_streams) return 0;

    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh) return 0;
    bass_stream* s = new bass_stream;
    bool ok = decode_file(mh, existing_path(static_cast<const char*>(file)),
                          (flags & BASS_STREAM_PRESCAN) != 0, s);
    mpg123_delete(mh);
    if (!ok) {
        delete s;
        return 0;
    }

    // a new stream stands still at its start until it is played
    stand_at(s->heard, 0.0);
    g_bass_streams[slot].store(s, std::memory_order_release);
    return static_cast<HSTREAM>(slot + 1);
}
