// Benchmarks of the audio layer: a show-time read, a spectrum fetch, decoding and opening the soundtrack.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/music.h"
#include "platform/bass.h"
#include "platform/mp3_decoder.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

static std::string g_dir;
static std::string g_long_mp3;

// What render_frame does several dozen times per frame.
static void bm_music_time(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(music_time());
}
BENCHMARK(bm_music_time);

static void bm_channel_get_position(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(BASS_ChannelGetPosition(g_music));
}
BENCHMARK(bm_channel_get_position);

// What the frame loop does once per pass.
static void bm_fetch_spectrum(benchmark::State& state)
{
    for (auto _ : state) {
        fetch_spectrum(g_spectrum);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bm_fetch_spectrum);

// What the mixer adds to each buffer of SDL's device (2048 frames, 46 ms): decoding that many
// frames of the soundtrack as it plays.
static void bm_decode_a_device_buffer(benchmark::State& state)
{
    mp3_decoder d;
    if (!open_mp3(g_long_mp3.c_str(), &d)) {
        state.SkipWithError("cannot open the MP3");
        return;
    }
    std::int16_t buffer[2048 * 2];
    for (auto _ : state) {
        if (read_mp3(&d, buffer, 2048) < 2048) seek_mp3(&d, 0);
        benchmark::ClobberMemory();
    }
    close_mp3(&d);
}
BENCHMARK(bm_decode_a_device_buffer)->Unit(benchmark::kMicrosecond);

// A seek to the middle of the 83 s file and back to its start, each decoding the frames before
// the one it lands on.
static void bm_seek_to_the_middle_and_back(benchmark::State& state)
{
    mp3_decoder d;
    if (!open_mp3(g_long_mp3.c_str(), &d)) {
        state.SkipWithError("cannot open the MP3");
        return;
    }
    for (auto _ : state) {
        seek_mp3(&d, d.length / 2);
        seek_mp3(&d, 0);
    }
    close_mp3(&d);
}
BENCHMARK(bm_seek_to_the_middle_and_back)->Unit(benchmark::kMillisecond);

// Opening an 83-second stereo MP3 with the prescan flag: the length is read from its Info tag
// and nothing is decoded but the first frames. Runs last: it replaces the playing soundtrack
// with a fresh "no sound" device each time, as only a few streams may exist at once.
static void bm_create_83s_stream(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        BASS_Free();
        BASS_Init(0, 44100, 0, nullptr, nullptr);
        state.ResumeTiming();
        HSTREAM h = BASS_StreamCreateFile(FALSE, g_long_mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
        if (!h) state.SkipWithError("stream creation failed");
    }
}
BENCHMARK(bm_create_83s_stream)->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);

    // the soundtrack plays on SDL's dummy driver, so the audio thread runs as it would
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_dir = make_temp_dir();
    std::string song = g_dir + "/song.mp3";
    g_long_mp3 = g_dir + "/long.mp3";
    const char* music = "0.4*sin(2*PI*(200*t+30*t*t))|0.4*sin(2*PI*330*t)";
    if (!make_mp3(song, music, 44100, 30.0) || !make_mp3(g_long_mp3, music, 44100, 83.0)) {
        std::fprintf(stderr, "audio_bench: could not make test MP3s with ffmpeg\n");
        remove_dir(g_dir);
        return 1;
    }

    start_music(song.c_str());
    if (!g_music) {
        remove_dir(g_dir);
        return 1;
    }
    sleep_seconds(0.5);  // well into playback, with the callback publishing positions

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    BASS_Free();
    remove_dir(g_dir);
    return 0;
}
