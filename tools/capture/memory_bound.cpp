// The memory a capture run takes, this tool and its encoder together, estimated before it starts
// from what it will draw and write; a run over the bound is refused.
#include "tools/capture/memory_bound.h"

#include <cstdio>

#include "tools/capture/capture_context.h"
#include "tools/capture/frame_sheet.h"

// Measured peaks (bench/capture/peak_memory.sh, figures in bench/RESULTS-capture.md). The tool's
// fixed part: libraries, the OpenGL context and its compiled shaders, the pictures, the decoded
// soundtrack and its span for ffmpeg: 222 MiB over the whole show, with room for bigger pictures.
static const double k_tool_base_mb = 240;
// ffmpeg with libx264 (-preset medium, k_encoder_threads threads) holds about 40 frames ahead for
// its rate control: a line above its peaks from 256x192 (76 MiB) to 3072x2304 (1834 MiB).
static const double k_encoder_base_mb = 80;
static const double k_encoder_mb_per_megapixel = 258;

static const double k_mib = 1024.0 * 1024.0;

double run_memory_mb(const capture_options& o)
{
    double mb = k_tool_base_mb + frame_memory_bytes(o.width, o.height, o.supersample) / k_mib;
    if (!o.times.empty()) {
        mb += static_cast<double>(
                  sheet_bytes(static_cast<int>(o.times.size()), o.columns, o.shrink, o.width, o.height)) /
            k_mib;
    }
    if (!o.video.empty()) {
        mb += k_encoder_base_mb + k_encoder_mb_per_megapixel * o.width * o.height / 1e6;
    }
    return mb;
}

// The largest 4:3 frame of the run's kind that fits, as "WxH"; "" when none does.
static std::string largest_fitting_frame(const capture_options& o)
{
    capture_options trial = o;
    std::string best;
    // steps of 8 wide keep both sides even
    for (int w = 16; w <= 8192; w += 8) {
        trial.width = w;
        trial.height = w * 3 / 4;
        if (run_memory_mb(trial) > k_memory_bound_mb) break;
        best = std::to_string(trial.width) + "x" + std::to_string(trial.height);
    }
    return best;
}

bool check_memory_bound(const capture_options& o, std::string& error)
{
    double mb = run_memory_mb(o);
    if (mb <= k_memory_bound_mb) return true;
    std::string what = !o.video.empty() ? "a video" : !o.times.empty() ? "this sheet" : "a span";
    std::string fits = largest_fitting_frame(o);
    char text[256];
    std::snprintf(text, sizeof text,
                  "%dx%d at --supersample %d needs about %.1f GB of memory%s, more than the %.0f GB a "
                  "run may take; ",
                  o.width, o.height, o.supersample, mb / 1024, o.video.empty() ? "" : " with ffmpeg",
                  k_memory_bound_mb / 1024);
    error = text +
        (fits.empty() ? "even the smallest frame does not fit"
                      : "the largest 4:3 frame for " + what + " at that supersampling is " + fits);
    return false;
}
