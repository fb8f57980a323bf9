// The capture tool's options: what to render, how, and where to write it.
#pragma once

#include <string>
#include <vector>

#include "show/show_times.h"

const double k_show_start = 0.0;

struct capture_options {
    std::vector<float> times;  // contact-sheet mode when not empty
    std::string sheet = "docs/show.png";
    bool sheet_given = false;
    std::string video;         // MP4 file
    std::string frames_dir;    // numbered PNGs (or, with --times, one per time)
    bool null_output = false;  // render and read back, write nothing
    bool force = false;
    int fps = 60;
    double from = k_show_start, to = k_show_end;
    int width = 1024, height = 768;
    int supersample = 0;  // samples per pixel along each side; 0 until chosen (see capture_usage())
    bool fixed_spectrum = false;
    float spectrum6 = 0, spectrum7 = 0;
    int columns = 4, shrink = 4;
    bool help = false;
};

// The --help text, naming the show's span as show/show_times.h has it.
std::string capture_usage();

// Reads and checks the command line; false with a one-line message in `error`.
bool parse_capture_options(int argc, char** argv, capture_options& o, std::string& error);

// Frames in the span: every k with from + k / fps < to.
long span_frames(const capture_options& o);
