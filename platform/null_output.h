// The silent output: no device, samples taken on the steady clock (one sibling behind audio_output.h).
#pragma once

#include "platform/output_fill.h"

bool null_output_open(int rate, audio_output_fill fill);
void null_output_close();
void null_output_lock();
void null_output_unlock();
void null_output_pause(bool paused);
