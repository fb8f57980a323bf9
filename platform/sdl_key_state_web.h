// SDL 1.2's SDL_GetKeyState on a page: Emscripten's SDL library has it but its headers (of SDL 1.3)
// leave it out; forced into the shell's files on the web.
#pragma once

#include <SDL/SDL.h>

extern "C" Uint8* SDL_GetKeyState(int* numkeys);
