// Ctrl-C and termination: noted, so the capture stops between frames and cleans up after itself.
#pragma once

// Catches SIGINT, SIGTERM and SIGHUP (a blocked write returns early), and ignores SIGPIPE.
void catch_interrupts();

// True once one of them arrived.
bool interrupted();
