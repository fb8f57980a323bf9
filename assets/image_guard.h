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

// No side longer than this is accepted, whatever the OpenGL implementation allows.
constexpr uint32_t k_image_max_side = 8192;
// Nor a decoded image, or a file, larger than this many bytes (4096 x 4096 RGBA).
constexpr uint64_t k_image_budget = 64ull << 20;

// Checks a whole file held in memory. Refuses anything that is not a PNG or baseline/progressive
// 8-bit JPEG, whose sides exceed k_image_max_side or gl_max_side, whose decoded size exceeds
// k_image_budget, or whose structure (PNG chunks, JPEG segments up to the scan) leaves the file.
image_check check_image(const unsigned char* bytes, size_t size, uint32_t gl_max_side);
