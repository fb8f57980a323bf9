// Our audio layer's streams: BASS_StreamCreateFile decodes a whole MP3 file into memory.
//
// Decoding everything up front (83 s of 16-bit stereo is about 15 MB) makes the length,
// every seek and every spectrum window exact, and leaves the audio thread nothing to do
// but copy: it never waits on the decoder or the disk.
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/bass.h"
#include "platform/bass_decode.h"
#include "platform/bass_device.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"

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

// Only whole files are read: memory streams, offsets and lengths are not needed here.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD)
{
    if (!g_bass_ready || mem || !file || offset != 0 || length != 0) return 0;

    int slot = 0;
    while (slot < k_max_streams && g_bass_streams[slot].load()) ++slot;
    if (slot == k_max_streams) return 0;

    bass_stream* s = new bass_stream;
    if (!decode_file(existing_path(static_cast<const char*>(file)), s)) {
        delete s;
        return 0;
    }

    // a new stream stands still at its start until it is played
    stand_at(s->heard, 0.0);
    g_bass_streams[slot].store(s, std::memory_order_release);
    return static_cast<HSTREAM>(slot + 1);
}
