// A stand-in for SDL's buffer swap, so a tool or test sees each frame as it is presented.
#pragma once

// Defined by the program that links vl_swap_hook: runs on every SDL_GL_SwapBuffers call, with
// the finished frame still in the back buffer, before the real swap.
void on_frame_presented();
