// The sound output on SDL's audio device: SDL's audio thread calls the mixer for each buffer.
#include "platform/sdl_output.h"

#include <SDL/SDL.h>

// 2048 frames is 46 ms at 44.1 kHz: long enough that a software-rendered frame on a busy
// two-core machine does not starve the audio thread, short enough that the spectrum and
// the show time, which subtract it, stay close to what is heard.
static const int k_buffer_frames = 2048;

static audio_output_fill g_sdl_fill = nullptr;

// Runs on SDL's audio thread with the device locked.
static void fill_device_buffer(void*, Uint8* stream, int len)
{
    g_sdl_fill(reinterpret_cast<std::int16_t*>(stream), len / 4);
}

bool sdl_output_open(int rate, audio_output_fill fill)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;

    // no `obtained` format: SDL converts to the device for us, so the callback always sees
    // 16-bit stereo at the rate asked for
    g_sdl_fill = fill;
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

// Closing the device joins SDL's audio thread.
void sdl_output_close()
{
    SDL_PauseAudio(1);
    SDL_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void sdl_output_lock()
{
    SDL_LockAudio();
}

void sdl_output_unlock()
{
    SDL_UnlockAudio();
}

void sdl_output_pause(bool paused)
{
    SDL_PauseAudio(paused ? 1 : 0);
}
