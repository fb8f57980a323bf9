// Decodes pictures larger than a texture may be straight to a size it can hold, never whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/image_guard.h"

// Each decodes a file that check_image accepted into DevIL's bound image (RGB, or RGBA for a PNG
// with transparency, rows from the bottom), both sides brought within max_side with the
// proportions kept; false when the file will not decode. Memory follows the result's size, not
// the file's claimed one: a JPEG is decoded at libjpeg's scale of an eighth to a whole, a PNG a
// row at a time; either is then box-averaged by a whole factor where that is still too large.
bool decode_reduced_jpeg(const unsigned char* bytes, size_t size, const image_check& check, uint32_t max_side);
bool decode_reduced_png(const unsigned char* bytes, size_t size, const image_check& check, uint32_t max_side);
