// Test support: small PNG and JPEG files whose corners and bands a test can recognise on screen.
#pragma once

#include <string>
#include <vector>

#include "tools/common/image_io.h"

struct rgba {
    unsigned char r, g, b, a;
};

// An image split into four quadrants of the given colours (as a viewer sees it, top row first).
rgba_image quadrant_image(int width, int height, rgba upper_left, rgba upper_right, rgba lower_left, rgba lower_right);

// An image of vertical bands of equal width, left to right.
rgba_image band_image(int width, int height, const std::vector<rgba>& bands);

// The file kinds the bank must read besides RGBA PNG (write_png_rgba) and palette PNG
// (write_png_palette); false when the file cannot be written.
// Stores the red channel as 8-bit gray.
bool write_png_gray(const std::string& path, const rgba_image& image);
// A progressive (multi-scan) RGB JPEG at high quality.
bool write_jpeg_progressive(const std::string& path, const rgba_image& image);
// A baseline (one-scan) RGB JPEG at high quality, as cameras write them.
bool write_jpeg_baseline(const std::string& path, const rgba_image& image);
