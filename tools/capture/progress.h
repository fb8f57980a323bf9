// Progress of a capture run on stderr: a bar on a terminal, a one-line summary otherwise.
#pragma once

#include <string>

// A run of `total` frames, each `frame_seconds` of show time.
void start_progress(long total, double frame_seconds);

// `done` frames are finished; redraws the bar at most ten times a second, on a terminal only.
void show_progress(long done);

// Clears the bar and prints one line: what was written, frames, show-seconds, wall time, rate.
void finish_progress(long done, const std::string& what);
