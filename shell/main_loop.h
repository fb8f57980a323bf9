// The frame loop: events, one frame, the spectrum, the caption and the quit conditions.
#pragma once

#include <SDL/SDL.h>

extern int g_quit;          // set to 1 by any stop condition, never cleared
extern Uint8* g_keys;       // SDL's keyboard state, null until the first event is drained
extern char g_caption[80];  // the window caption, rewritten every pass

// One pass: drain the events, draw a frame, fetch the spectrum, write the caption, test Escape.
// Any stop condition it meets sets g_quit; it always runs to its end.
void run_pass();

// Runs passes until the window is closed, Escape is held or the show is over; returns true.
bool run_main_loop();
