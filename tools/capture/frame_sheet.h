// A contact sheet of captured frames.
#pragma once

#include <string>
#include <vector>

struct frame_image {
    int width, height;
    std::vector<unsigned char> rgb;  // rows from the top
    std::string label;
};

// Lays the frames out in a grid, each scaled down by an integer factor, with a thin border.
frame_image make_sheet(const std::vector<frame_image>& frames, int columns, int shrink);
