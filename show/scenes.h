// The kinds of scene the window table names, each drawn with its fixed sequence of GL calls.
#pragma once

#include "show/window_table.h"

// Draws the scene of one window of the table at frame time t.
void draw_scene(const show_window& window, float t);
