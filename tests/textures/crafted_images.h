// Test support: image files as bytes, the damaged and crafted kinds a user's data folder may hold.
#pragma once

#include <string>
#include <vector>

#include "tests/textures/test_images.h"

typedef std::vector<unsigned char> file_bytes;

file_bytes read_file_bytes(const std::string& path);
bool write_file_bytes(const std::string& path, const file_bytes& bytes);

// Real files of an image, as the writers of test_images.h make them.
file_bytes through_file(bool (*writer)(const std::string&, const rgba_image&), const rgba_image& image);
file_bytes png_bytes(const rgba_image& image);
file_bytes jpeg_bytes(const rgba_image& image);

// An RGBA PNG stored interlaced (Adam7), its rows in seven passes.
file_bytes interlaced_png_bytes(const rgba_image& image);

// A 4-channel JPEG as print workflows write it: an Adobe marker and inverted ink values, stored
// as CMYK or (ycck true) as YCCK. The image's alpha is dropped.
file_bytes adobe_cmyk_jpeg_bytes(const rgba_image& image, bool ycck);

// A small real JPEG (progressive, or baseline) whose frame header claims width x height; its scan
// data stays that of the small picture, which the decoder pads out to the claimed size.
file_bytes jpeg_claiming(int width, int height, bool baseline = false);

// A PNG whose header claims width x height of a colour type and bit depth, followed by `rows`
// real rows of black (fewer than claimed if wanted); every chunk is well formed.
file_bytes png_claiming(int width, int height, int depth, int colour_type, int rows);
file_bytes rgb_png_claiming(int width, int height, int rows);

// A real RGBA PNG with a bKGD chunk after its header, as many programs write them.
file_bytes png_with_background(const rgba_image& image);

// The same with the bKGD chunk's length running past the end of the file.
file_bytes png_with_chunk_past_end(const rgba_image& image);

// A 20-byte JPEG: its first segment (APP0) claims 256 bytes, and an end marker closes the file.
file_bytes jpeg_with_segment_past_end();

// A real JPEG whose end marker is replaced by a comment segment claiming 65497 bytes.
file_bytes jpeg_with_comment_past_end(const rgba_image& image);

// The first `size` bytes of a file.
file_bytes cut_to(const file_bytes& bytes, size_t size);
