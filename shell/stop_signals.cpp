// The system's requests to stop the show (SIGTERM, SIGINT), honoured in every state.
//
// SDL would turn them into a quit event, but only while its event queue is read: with no
// screen the loop sees no events at all, and during start-up no loop runs yet. Our own handler
// records the request where the frame loop tests it, and dismisses a box that holds start-up.
#include "shell/stop_signals.h"

#include <csignal>

#include "platform/message_box.h"

static volatile std::sig_atomic_t g_stop_signal = 0;

static void on_stop_signal(int)
{
    g_stop_signal = 1;
    close_error_boxes();
}

void watch_stop_signals()
{
    struct sigaction action = {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stop_signal_received()
{
    return g_stop_signal != 0;
}
