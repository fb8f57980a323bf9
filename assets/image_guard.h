// The check every image file passes before the decoder sees it: its kind, claimed size and layout.
#pragma once

#include <cstddef>
#include <cstdint>

// The kind a file's signature shows; refused files go to no decoder at all.
enum image_kind { k_image_refused, k_image_png, k_image_jpeg };

// How a four-channel JPEG's decoder output holds ink: plain CMYK, or inverted as Adobe software
// writes it (its APP14 marker says so). Three-channel and gray files carry no ink.
enum image_ink { k_ink_none, k_ink_cmyk, k_ink_cmyk_inverted };

struct image_check {
    image_kind kind;
    image_ink ink;
    uint32_t width;
    uint32_t height;
};

// What no camera makes: a side longer than this (a 200-megapixel phone sensor is 16320 wide),
// or more pixels than this (16384 x 12288). A crafted header claiming more, or a small file that
// would inflate to more, is refused before any decoder starts; what is within is decoded to at
// most the texture's size (assets/reduced_decode.h), so memory never follows the claimed size.
constexpr uint32_t k_image_max_side = 16384;
constexpr uint64_t k_image_max_pixels = 16384ull * 12288;
// Nor a file larger than this many bytes: room for a 50-megapixel RGBA PNG of pure noise.
constexpr uint64_t k_image_file_limit = 256ull << 20;

// Checks a whole file held in memory. Refuses anything that is not a PNG or baseline/progressive
// 8-bit JPEG, whose sides or pixel count exceed the limits above, or whose structure (PNG chunks,
// JPEG segments up to the scan) leaves the file.
image_check check_image(const unsigned char* bytes, size_t size);
