// Our audio layer's output device: BASS_Init and BASS_Free over SDL's audio.
#include <SDL/SDL.h>

#include <cstdint>

#include "platform/bass_internal.h"

// 2048 frames is 46 ms at 44.1 kHz: long enough that a software-rendered frame on a busy
// two-core machine does not starve the audio thread, short enough that the spectrum and
// the show time, which subtract it, stay close to what is heard.
static const int k_buffer_frames = 2048;
static const int k_default_rate = 44100;

bool g_bass_ready = false;
bool g_bass_has_output = false;
int g_bass_device_rate = k_default_rate;

// Runs on SDL's audio thread with the device locked.
static void fill_device_buffer(void*, Uint8* stream, int len)
{
    render_streams(reinterpret_cast<std::int16_t*>(stream), len / 4, steady_now_ns());
}

static bool open_output(int rate)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;

    // no `obtained` format: SDL converts to the device for us, so the callback always sees
    // 16-bit stereo at the rate asked for
    SDL_AudioSpec want = {};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = k_buffer_frames;
    want.callback = fill_device_buffer;
    if (SDL_OpenAudio(&want, nullptr) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// Device 1 (and -1) is the default output. Device 0 is "no sound": nothing is played and a
// playing stream's position follows the steady clock alone.
BOOL BASS_Init(int device, DWORD freq, DWORD, HWND, const GUID*)
{
    if (g_bass_ready) return FALSE;
    if (device < -1 || device > 1) return FALSE;

    // the mixer reads the rate, so it is set before the device can call back
    g_bass_device_rate = freq ? static_cast<int>(freq) : k_default_rate;
    bool output = device != 0;
    if (output && !open_output(g_bass_device_rate)) return FALSE;
    if (!init_spectrum()) {
        if (output) {
            SDL_CloseAudio();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        return FALSE;
    }

    g_bass_has_output = output;
    g_bass_ready = true;
    return TRUE;
}

BOOL BASS_Free()
{
    if (!g_bass_ready) return FALSE;

    // closing the device joins SDL's audio thread, so nothing reads the streams after this
    if (g_bass_has_output) {
        SDL_PauseAudio(1);
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    free_all_streams();
    free_spectrum();
    g_bass_ready = false;
    g_bass_has_output = false;
    return TRUE;
}
