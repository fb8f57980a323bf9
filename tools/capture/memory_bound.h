// The memory a capture run takes, this tool and its encoder together, estimated before it starts
// from what it will draw and write; a run over the bound is refused.
#pragma once

#include <string>

#include "tools/capture/capture_options.h"

// What a run may take, in MiB.
const double k_memory_bound_mb = 2048;

// The run's expected peak, in MiB: the tool's fixed part, its framebuffer and frames, the
// contact sheet, and ffmpeg's encoder for a video.
double run_memory_mb(const capture_options& o);

// True when the run fits in the bound; otherwise false with a one-line reason that names the
// largest 4:3 frame that would fit.
bool check_memory_bound(const capture_options& o, std::string& error);
