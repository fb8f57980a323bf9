// Shrinking pixel rows by a whole factor with a box filter in linear light: supersampled frames
// down to their size, and frames down to their cell of a contact sheet.
#pragma once

#include <cstddef>

// Averages `factor` x `factor` blocks into one row of `out_width` RGB pixels. `rows` is the first
// pixel of the first of `factor` input rows, `row_step` bytes apart, `channels` (3 or 4) bytes a
// pixel; a fourth channel is ignored. The mean is taken in linear light and rounded back to sRGB,
// so a block of one colour keeps that colour exactly (and a factor of 1 copies the pixels).
void shrink_row(const unsigned char* rows, std::ptrdiff_t row_step, int channels, int factor, int out_width,
                unsigned char* out);
