// The system's requests to stop the show (SIGTERM, SIGINT), honoured in every state.
#pragma once

// Takes SIGTERM and SIGINT before SDL can (SDL installs its own only over the default action).
// From then on either signal closes any error box, keeps further boxes from coming up, and
// makes stop_signal_received true; the process is never ended by the signal itself.
void watch_stop_signals();

// True once SIGTERM or SIGINT has arrived.
bool stop_signal_received();
