// The sound output our audio layer plays through: a few calls, with the mixer as the callback.
#pragma once

#include "platform/output_fill.h"

enum audio_output_kind {
    audio_output_sound,   // the system's sound device, through SDL
    audio_output_silent,  // no device: the samples are taken at the pace of the steady clock
};

// Opens the output at `rate` Hz, paused, with `fill` as its callback; false when it cannot.
bool audio_output_open(audio_output_kind kind, int rate, audio_output_fill fill);

// Stops the callback for good: once this returns, `fill` is not running and is not called again.
void audio_output_close();

// While locked, the callback does not run.
void audio_output_lock();
void audio_output_unlock();

// A paused output calls nothing; resuming starts the callback where the stream left off.
void audio_output_pause(bool paused);
