// PNG and JPEG files read and written with libpng and libjpeg, for the tools and the tests alike.
#pragma once

#include <string>
#include <vector>

// An image in memory, rows from the top, 4 bytes (RGBA) per pixel.
struct rgba_image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// A file read back: its kind from its own signature, whether it stores alpha, and its pixels.
struct decoded_image {
    bool ok = false;
    std::string error;
    std::string format;      // "png" or "jpeg"
    bool has_alpha = false;  // an alpha channel or a transparency chunk (alpha 255 where none)
    rgba_image image;
};

// Reads a PNG or a JPEG, told apart by signature. A JPEG libjpeg had to patch over fails.
decoded_image read_image_file(const std::string& path);

// Writes 8-bit pixels, rows from the top, `channels` per pixel: 1 gray, 3 RGB or 4 RGBA.
// Every writer returns false (and leaves no usable file) when the file cannot be written.
bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels);
bool write_png_rgba(const std::string& path, const rgba_image& image);

// Stores the image through a palette of its distinct colours (at most 256), without alpha.
bool write_png_palette(const std::string& path, const rgba_image& image);

struct jpeg_options {
    int quality = 95;
    bool progressive = false;  // multi-scan
    bool full_chroma = false;  // no chroma subsampling: thin coloured edges stay clean
    bool optimize = false;     // optimal Huffman tables
};

// Writes the first three channels of 3- or 4-channel pixels as an RGB JPEG.
bool write_jpeg(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
                const jpeg_options& options);
