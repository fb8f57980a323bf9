// Reads a picture file whole into a buffer of the caller's, so that what is checked is what is decoded.
#pragma once

#include <cstddef>

// Reads the regular file at `path` whole into `buffer`; false when it cannot be opened, is not a
// regular file, or holds more than `capacity` bytes. `size` gets the bytes read either way.
bool read_whole_file(const char* path, unsigned char* buffer, size_t capacity, size_t* size);
