// A stream's decoded samples, read-only, for tools that analyse a soundtrack the layer decoded.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

struct stream_samples {
    const std::int16_t* pcm = nullptr;  // interleaved stereo, 16-bit, `frames` long
    std::int64_t frames = 0;            // length in stereo frames
    int rate = 0;                       // frames per second
};

// The samples of a stream made by BASS_StreamCreateFile; false for an unknown handle. They stay
// valid until the layer is released.
bool get_stream_samples(DWORD stream, stream_samples& out);
