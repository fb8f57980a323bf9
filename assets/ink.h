// CMYK ink to RGB, for four-channel JPEGs as their decoder hands them over.
#pragma once

#include "assets/image_guard.h"

// R = (1 - C)(1 - K), and so on; inverted files (Adobe's) hold 1 - C and 1 - K already.
inline void ink_to_rgb_pixel(const unsigned char* ink_pixel, image_ink ink, unsigned char* rgb)
{
    unsigned k = ink == k_ink_cmyk_inverted ? ink_pixel[3] : 255u - ink_pixel[3];
    for (int c = 0; c < 3; ++c) {
        unsigned paper = ink == k_ink_cmyk_inverted ? ink_pixel[c] : 255u - ink_pixel[c];
        rgb[c] = static_cast<unsigned char>((paper * k + 127) / 255);
    }
}
