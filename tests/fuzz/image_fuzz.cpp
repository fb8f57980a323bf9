// Fuzz target: any bytes through the image check and, where it lets them pass, the decoders: DevIL
// for what a texture holds as it is, libjpeg and libpng reduced for what it does not.
#include <IL/il.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "assets/image_loader.h"

// the side the bank uploads at, and one small enough that most inputs are decoded reduced
static const uint32_t k_max_sides[] = {k_texture_max_side, 16};

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ilInit();
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    return 0;
}

// Decodes one file as the bank does, then reads every byte the upload would read: a decoded image
// shorter than its stated size shows here as a heap overflow.
static void decode_and_read(const uint8_t* data, size_t size, uint32_t max_side)
{
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    if (decode_checked_image(data, size, max_side)) {
        size_t bytes = size_t(ilGetInteger(IL_IMAGE_WIDTH)) * size_t(ilGetInteger(IL_IMAGE_HEIGHT)) *
            size_t(ilGetInteger(IL_IMAGE_DEPTH)) * size_t(ilGetInteger(IL_IMAGE_BPP)) *
            size_t(ilGetInteger(IL_IMAGE_BPC));
        const unsigned char* pixels = ilGetData();
        volatile unsigned sum = 0;
        for (size_t i = 0; i < bytes; i += 61) sum = sum + pixels[i];
        if (bytes > 0) sum = sum + pixels[bytes - 1];
    }
    ilDeleteImages(1, &image);
}

// A copy of a PNG with every chunk's CRC made right. Mutations break CRCs, and libpng stops at a
// bad one in a critical chunk; a crafted file has them right, so the decoder is fuzzed past them.
static bool with_crcs_made_right(const uint8_t* data, size_t size, std::vector<uint8_t>& out)
{
    static const uint8_t k_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(data, k_signature, 8) != 0) return false;
    out.assign(data, data + size);
    size_t at = 8;
    while (size - at >= 12) {
        size_t length = (size_t(out[at]) << 24) | (size_t(out[at + 1]) << 16) | (size_t(out[at + 2]) << 8) |
            size_t(out[at + 3]);
        if (length > size - at - 12) break;
        uLong crc = crc32(0, &out[at + 4], static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) out[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> fixed;
    bool png = with_crcs_made_right(data, size, fixed);
    for (uint32_t max_side : k_max_sides) {
        decode_and_read(data, size, max_side);
        if (png) decode_and_read(fixed.data(), fixed.size(), max_side);
    }
    return 0;
}
