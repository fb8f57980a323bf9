// Averages a picture down by a whole factor as its rows arrive, so only the result is ever held.
#pragma once

#include <cstdint>
#include <vector>

struct box_filter {
    uint32_t in_width, in_height;
    uint32_t step;  // each result pixel is the mean of a step x step cell of the input
    uint32_t out_width, out_height;
    int channels;
    bool every_row;              // rows come in any order (interlaced): all result rows are summed at once
    uint32_t band;               // in order: the result row being summed
    std::vector<uint32_t> sums;  // one result row, or all of them
    unsigned char* out;          // out_height rows of out_width pixels, the bottom row first
};

// The smallest step that brings both sides within max_side.
uint32_t box_step(uint32_t width, uint32_t height, uint32_t max_side);

// Starts a filter whose result (ceil(in / step) a side, `channels` bytes a pixel) goes to out.
void box_filter_start(box_filter& filter, uint32_t in_width, uint32_t in_height, uint32_t step, int channels,
                      bool every_row, unsigned char* out);

// Adds `count` pixels of input row y, found at columns first, first + spacing, ... Unless
// every_row, rows come top to bottom, each once.
void box_filter_add(box_filter& filter, uint32_t y, uint32_t first, uint32_t spacing, const unsigned char* pixels,
                    uint32_t count);

// Writes what is still summed; once, after the last row.
void box_filter_finish(box_filter& filter);
