// A soundtrack file decoded whole by the audio layer, for tools: its samples and its spectrum.
#include "audio/decoded_music.h"

#include <cmath>
#include <cstring>

#include "platform/bass.h"
#include "platform/stream_samples.h"

bool open_decoded_music(const char* path, decoded_music& music)
{
    music = decoded_music{};
    // device 0 is "no sound": streams and the transform work, and nothing is played; a layer
    // already started refuses a second start and serves as it is
    BASS_Init(0, 44100, 0, nullptr, nullptr);
    DWORD stream = BASS_StreamCreateFile(FALSE, path, 0, 0, BASS_STREAM_PRESCAN);
    stream_samples samples;
    if (!get_stream_samples(stream, samples)) return false;
    music.stream = stream;
    music.samples = samples.pcm;
    music.frames = samples.frames;
    music.rate = samples.rate;
    return true;
}

void decoded_spectrum(const decoded_music& music, std::int64_t heard, float* spectrum)
{
    if (heard < 0) {
        std::memset(spectrum, 0, 512 * sizeof(float));
        return;
    }
    // a played stream stops at its last frame; one never played stands exactly where it is put
    if (heard > music.frames) heard = music.frames;
    BASS_ChannelSetPosition(music.stream, static_cast<QWORD>(heard) * 4);
    BASS_ChannelGetData(music.stream, spectrum, BASS_DATA_FFT1024);
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
