// Puts the show's fullscreen window over the whole screen where no window manager does.
#pragma once

// Moves and sizes the show's window to the screen it was centred on, screen_width by
// screen_height; false when the window is not an X window. Harmless under a window manager,
// which has already done the same.
bool cover_screen(int screen_width, int screen_height);
