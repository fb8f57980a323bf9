// The error box: the show calls MessageBoxA as on Windows; our layer shows it on Linux.
#pragma once

#include "platform/win_types.h"

#define MB_OK 0x00000000u
#define MB_ICONWARNING 0x00000030u
#define IDOK 1

// Writes "ERROR: <text>" to stderr, then, where a display is reachable, shows a
// modal box with the caption, the text and one OK button, and returns once it is
// dismissed. Without a display it returns at once. Always returns IDOK.
int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned int type);

// Takes down the box that is up, if any (its MessageBoxA call returns), and lets no further
// box come up: MessageBoxA then writes its stderr line only. Async-signal-safe, for the
// handler of a signal that asks the program to stop.
void close_error_boxes();
