// The sound output our audio layer plays through: passes each call to the output that was opened.
#include "platform/audio_output.h"

#include "platform/null_output.h"
#include "platform/sdl_output.h"

static audio_output_kind g_output_kind = audio_output_silent;

bool audio_output_open(audio_output_kind kind, int rate, audio_output_fill fill)
{
    g_output_kind = kind;
    if (kind == audio_output_sound) return sdl_output_open(rate, fill);
    return null_output_open(rate, fill);
}

void audio_output_close()
{
    if (g_output_kind == audio_output_sound) sdl_output_close();
    else null_output_close();
}

void audio_output_lock()
{
    if (g_output_kind == audio_output_sound) sdl_output_lock();
    else null_output_lock();
}

void audio_output_unlock()
{
    if (g_output_kind == audio_output_sound) sdl_output_unlock();
    else null_output_unlock();
}

void audio_output_pause(bool paused)
{
    if (g_output_kind == audio_output_sound) sdl_output_pause(paused);
    else null_output_pause(paused);
}
