// Averages a picture down by a whole factor as its rows arrive, so only the result is ever held.
#include "assets/box_filter.h"

#include <algorithm>

uint32_t box_step(uint32_t width, uint32_t height, uint32_t max_side)
{
    uint32_t longer = std::max(width, height);
    return std::max(1u, (longer + max_side - 1) / max_side);
}

void box_filter_start(box_filter& filter, uint32_t in_width, uint32_t in_height, uint32_t step, int channels,
                      bool every_row, unsigned char* out)
{
    filter.in_width = in_width;
    filter.in_height = in_height;
    filter.step = step;
    filter.out_width = (in_width + step - 1) / step;
    filter.out_height = (in_height + step - 1) / step;
    filter.channels = channels;
    filter.every_row = every_row;
    filter.band = 0;
    size_t rows = every_row ? filter.out_height : 1;
    filter.sums.assign(size_t(filter.out_width) * rows * size_t(channels), 0);
    filter.out = out;
}

// Divides result row `row`'s sums by its cell sizes (smaller at the right and bottom edges).
static void write_row(box_filter& filter, uint32_t row, const uint32_t* sums)
{
    uint32_t cell_height = std::min(filter.step, filter.in_height - row * filter.step);
    unsigned char* out = filter.out + size_t(filter.out_height - 1 - row) * filter.out_width * size_t(filter.channels);
    for (uint32_t x = 0; x < filter.out_width; ++x) {
        uint32_t cell = std::min(filter.step, filter.in_width - x * filter.step) * cell_height;
        for (int c = 0; c < filter.channels; ++c, ++sums, ++out) {
            *out = static_cast<unsigned char>((*sums + cell / 2) / cell);
        }
    }
}

void box_filter_add(box_filter& filter, uint32_t y, uint32_t first, uint32_t spacing, const unsigned char* pixels,
                    uint32_t count)
{
    uint32_t row = y / filter.step;
    size_t row_values = size_t(filter.out_width) * size_t(filter.channels);
    if (!filter.every_row && row != filter.band) {
        write_row(filter, filter.band, filter.sums.data());
        std::fill(filter.sums.begin(), filter.sums.end(), 0);
        filter.band = row;
    }
    uint32_t* sums = filter.sums.data() + (filter.every_row ? row * row_values : 0);
    int channels = filter.channels;
    for (uint32_t i = 0, x = first; i < count; ++i, x += spacing, pixels += channels) {
        uint32_t* cell = sums + size_t(x / filter.step) * size_t(channels);
        for (int c = 0; c < channels; ++c) cell[c] += pixels[c];
    }
}

void box_filter_finish(box_filter& filter)
{
    size_t row_values = size_t(filter.out_width) * size_t(filter.channels);
    if (!filter.every_row) {
        write_row(filter, filter.band, filter.sums.data());
        return;
    }
    for (uint32_t row = 0; row < filter.out_height; ++row)
        write_row(filter, row, filter.sums.data() + row * row_values);
}
