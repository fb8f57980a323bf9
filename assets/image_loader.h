// Turns image files into OpenGL textures: each file read once, checked, then decoded by DevIL.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

// The longest side a picture is uploaded at, where OpenGL allows it. The show draws into a
// 1024x768 frame and no picture spans more than 1.3 frame widths (a card close to the eye), so
// 2048 keeps every pixel the frame can show; a larger picture is decoded straight to this size.
constexpr uint32_t k_texture_max_side = 2048;

// Decodes a whole file held in memory into DevIL's bound image when check_image accepts it,
// with the ink of CMYK JPEGs turned into RGB. A picture with a side over max_side is decoded
// reduced to fit within it. False when the file is refused or will not decode.
bool decode_checked_image(const unsigned char* bytes, size_t size, uint32_t max_side);

// Reads, checks and decodes an image file and uploads it into a new texture. Returns 0, with
// nothing said, for a file that is missing, not a regular file, refused or undecodable. DevIL and
// its OpenGL toolkit must be started, with a context current.
GLuint load_image_texture(const char* path);
