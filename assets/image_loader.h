// Turns image files into OpenGL textures: each file read once, checked, then decoded by DevIL.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

// Decodes a whole file held in memory into DevIL's bound image when check_image accepts it,
// with the ink of CMYK JPEGs turned into RGB. False when the file is refused or will not decode.
bool decode_checked_image(const unsigned char* bytes, size_t size, uint32_t gl_max_side);

// Reads, checks and decodes an image file and uploads it into a new texture. Returns 0, with
// nothing said, for a file that is missing, not a regular file, refused or undecodable. DevIL and
// its OpenGL toolkit must be started, with a context current.
GLuint load_image_texture(const char* path);
