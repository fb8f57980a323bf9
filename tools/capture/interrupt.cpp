// Ctrl-C and termination: noted, so the capture stops between frames and cleans up after itself.
#include "tools/capture/interrupt.h"

#include <signal.h>

static volatile sig_atomic_t g_interrupted = 0;

static void note_interrupt(int)
{
    g_interrupted = 1;
}

void catch_interrupts()
{
    struct sigaction action = {};
    action.sa_handler = note_interrupt;
    sigemptyset(&action.sa_mask);
    // no SA_RESTART: a write blocked on ffmpeg returns, and the run stops
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // a write to an ffmpeg that died returns an error instead of ending the process
    signal(SIGPIPE, SIG_IGN);
}

bool interrupted()
{
    return g_interrupted != 0;
}
