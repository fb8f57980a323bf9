// A soundtrack file decoded whole by the audio layer, for tools: its samples and its spectrum.
#include "audio/decoded_music.h"

#include <cmath>
#include <cstring>

#include "platform/bass.h"
#include "platform/mp3_decoder.h"
#include "platform/pcm_spectrum.h"

bool open_decoded_music(const char* path, decoded_music& music)
{
    music = decoded_music{};
    // device 0 is "no sound": the transform works, and nothing is played; a layer already
    // started refuses a second start and serves as it is
    BASS_Init(0, 44100, 0, nullptr, nullptr);
    if (!decode_mp3_file(path, music.pcm, music.rate)) return false;
    music.samples = music.pcm.data();
    music.frames = static_cast<std::int64_t>(music.pcm.size() / 2);
    return true;
}

void decoded_spectrum(const decoded_music& music, std::int64_t heard, float* spectrum)
{
    if (heard < 0) {
        std::memset(spectrum, 0, 512 * sizeof(float));
        return;
    }
    // a played stream stops at its last frame
    if (heard > music.frames) heard = music.frames;
    pcm_spectrum(music.samples, music.frames, heard, spectrum);
}

std::int64_t frame_heard_at(const decoded_music& music, double seconds)
{
    // the position is a whole frame, counted down; the margin keeps an exact product such as
    // 29 s x 44100 from falling one frame short through rounding
    return static_cast<std::int64_t>(std::floor(seconds * music.rate + 1e-6));
}

void close_decoded_music(decoded_music& music)
{
    BASS_Free();
    music = decoded_music{};
}
