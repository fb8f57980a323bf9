// Turns image files into OpenGL textures: each file read once, checked, then decoded by DevIL.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

// The longest side a picture is uploaded at, where OpenGL allows it. The show draws into a
// 1024x768 frame and no picture spans more than 1.3 frame widths (a card close to the eye), so
// 2048 keeps every pixel the frame can show; a larger picture is decoded straight to this size.
constexpr uint32_t k_texture_max_side = 2048;

// Starts the decoder (DevIL and its OpenGL toolkit), rows from the bottom as OpenGL wants them.
void start_image_decoder();

// Decodes a whole file held in memory into DevIL's bound image when check_image accepts it,
// with the ink of CMYK JPEGs turned into RGB. A picture with a side over max_side is decoded
// reduced to fit within it. False when the file is refused or will not decode.
bool decode_checked_image(const unsigned char* bytes, size_t size, uint32_t max_side);

// On a page only, where the browser decodes asynchronously: checks the file and has the browser
// decode it ahead; once every decode so started is over, `done` is called.
void decode_picture_ahead(const char* path);
void when_pictures_decoded(void (*done)());

// Reads, checks and decodes an image file and uploads it into a new texture. Returns 0, with
// nothing said, for a file that is missing, not a regular file, refused or undecodable. The decoder
// must be started, with a context current.
GLuint load_image_texture(const char* path);
