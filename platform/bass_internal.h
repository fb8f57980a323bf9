// Our audio layer's shared state: the output device, the stream slots and the published position.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bass.h"

// Streams that may exist at once; the show makes one, tests a few.
const int k_max_streams = 8;

// Where the callback says the listener is: `base` frames are heard at steady time `t0_ns`,
// and while `running` the position then advances at the stream's rate, never past `cap`
// (the last frame handed to the device). Written by one thread under a sequence counter, read
// by any thread without a lock: an odd `seq` means a write is under way.
struct position_model {
    std::atomic<std::uint32_t> seq{0};
    std::atomic<double> base{0.0};
    std::atomic<std::int64_t> t0_ns{0};
    std::atomic<double> cap{0.0};
    std::atomic<int> running{0};
};

// One decoded stream. `pcm` never changes after creation, so the callback and the spectrum
// read it freely; the playback fields belong to the audio thread and are changed elsewhere
// only with the device locked.
struct bass_stream {
    std::vector<std::int16_t> pcm;  // interleaved stereo, 16-bit, at the stream's own rate
    std::int64_t frames = 0;        // length in stereo frames
    int rate = 0;                   // the stream's sample rate in Hz

    bool playing = false;
    bool continuous = false;        // the previous callback rendered it with no jump since
    double next_frame = 0.0;        // next frame to render; fractional while resampling
    double prev_chunk_start = 0.0;  // where the previous callback's chunk began

    position_model heard;
    std::atomic<double> last_read{0.0};  // keeps successive readings from going backwards
};

extern std::atomic<bass_stream*> g_bass_streams[k_max_streams];
extern bool g_bass_ready;        // BASS_Init succeeded and BASS_Free has not run since
extern bool g_bass_has_output;   // false on the "no sound" device: positions follow the clock
extern int g_bass_device_rate;   // output rate in Hz

// bass_stream.cpp
bass_stream* find_stream(DWORD handle);
void free_all_streams();

// bass_decode.cpp
// Decodes the whole MP3 file into `s` (pcm, frames, rate); false when the file cannot be
// read or is not an MP3. Decoding it all gives the exact length that a prescan would.
bool decode_file(const std::string& path, bass_stream* s);

// bass_position.cpp
std::int64_t steady_now_ns();
void publish_heard(bass_stream* s, double base, std::int64_t t0_ns, double cap, bool running);
void restart_from(bass_stream* s, double frame);
double heard_frame(bass_stream* s);

// bass_render.cpp
void render_streams(std::int16_t* out, int frames, std::int64_t now_ns);

// bass_fft.cpp
bool init_spectrum();
void free_spectrum();
// The 512 FFT1024 values of the 1024 frames ending at `end_frame` (frames outside the stream
// count as silence). Needs BASS_Init to have run: it sets up the transform.
void stream_spectrum(const bass_stream* s, std::int64_t end_frame, float* out);
