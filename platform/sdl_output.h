// The sound output on SDL's audio device (one sibling behind audio_output.h).
#pragma once

#include "platform/output_fill.h"

bool sdl_output_open(int rate, audio_output_fill fill);
void sdl_output_close();
void sdl_output_lock();
void sdl_output_unlock();
void sdl_output_pause(bool paused);
