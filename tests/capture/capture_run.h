// Test support for the capture tool: runs it headless (no DISPLAY) in a scratch folder, and reads PNGs.
#pragma once

#include <string>
#include <vector>

struct png_pixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // rows from the top
};

// A fresh empty folder under the test's temporary directory.
std::string scratch_folder(const std::string& name);

// Runs vellamor-capture from the repository root with DISPLAY unset and the given arguments;
// its exit status.
int run_capture(const std::string& arguments);

// The same, also giving the run's peak resident memory in KiB (the tool's own).
int run_capture(const std::string& arguments, long& peak_kib);

// Reads a PNG as 8-bit RGB; empty (0x0) when it cannot.
png_pixels read_png(const std::string& path);

// The capture's frame k of a span written with --frames DIR.
std::string frame_file(const std::string& dir, int k);
