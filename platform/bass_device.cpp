// Our audio layer's output device: BASS_Init opens an output with the mixer as its callback.
#include "platform/bass_device.h"

#include "platform/audio_output.h"
#include "platform/bass.h"
#include "platform/bass_fft.h"
#include "platform/bass_render.h"
#include "platform/stream_table.h"

static const int k_default_rate = 44100;

static bool g_bass_ready = false;

bool bass_ready()
{
    return g_bass_ready;
}

// Device 1 (and -1) is the default sound output. Device 0 is "no sound": nothing is heard,
// and a playing stream moves on at the pace of the steady clock.
BOOL BASS_Init(int device, DWORD freq, DWORD, HWND, const GUID*)
{
    if (g_bass_ready) return FALSE;
    if (device < -1 || device > 1) return FALSE;

    audio_output_kind kind = device == 0 ? audio_output_silent : audio_output_sound;
    if (!open_mixer(kind, freq ? static_cast<int>(freq) : k_default_rate)) return FALSE;
    if (!init_spectrum()) {
        audio_output_close();
        return FALSE;
    }

    g_bass_ready = true;
    return TRUE;
}

BOOL BASS_Free()
{
    if (!g_bass_ready) return FALSE;

    // once the output is closed nothing reads the streams
    audio_output_close();
    free_all_streams();
    free_spectrum();
    g_bass_ready = false;
    return TRUE;
}
