// A stand-in for SDL's buffer swap, so a tool or test sees each frame as it is presented.
#include "tools/common/swap_hook.h"

#include <dlfcn.h>

// Linked into the program, this comes before SDL's own, which it then calls.
extern "C" void SDL_GL_SwapBuffers(void)
{
    on_frame_presented();
    typedef void (*swap_fn)(void);
    static swap_fn real_swap = reinterpret_cast<swap_fn>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    if (real_swap) real_swap();
}
