// Our audio layer's streams: BASS_StreamCreateFile opens an MP3 file to be decoded as it plays.
//
// The prescan is a walk over the frame headers (or the encoder's Info tag when the file is whole),
// so the length and every seek are exact while only a second or so of samples is ever held:
// opening a file costs the same whatever its length.
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/bass.h"
#include "platform/bass_device.h"
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
    if (!bass_ready() || mem || !file || offset != 0 || length != 0) return 0;
    return add_stream(existing_path(static_cast<const char*>(file)).c_str());
}
