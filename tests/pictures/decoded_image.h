// Decoding of the shipped PNG and JPEG files for the picture checks, with libpng and libjpeg.
#pragma once
#include <string>
#include <vector>

struct decoded_image {
    bool ok = false;
    std::string error;
    std::string format;      // "png" or "jpeg", from the file's own signature
    bool has_alpha = false;  // the file itself stores an alpha channel
    int width = 0, height = 0;
    std::vector<unsigned char> rgba; // always 4 channels, alpha 255 where the file has none
};

decoded_image decode_image_file(const std::string &path);
