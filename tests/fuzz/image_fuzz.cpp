// Fuzz target: any bytes through the image check and, where it lets them pass, DevIL's decoder.
#include <IL/il.h>

#include <cstddef>
#include <cstdint>

#include "assets/image_loader.h"

// the limit llvmpipe reports; the check's own limit of 8192 lies below it
static const uint32_t k_gl_max_side = 16384;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ilInit();
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    if (decode_checked_image(data, size, k_gl_max_side)) {
        // read every byte the upload would read: a decoded image shorter than its stated size shows
        // here as a heap overflow
        size_t bytes = size_t(ilGetInteger(IL_IMAGE_WIDTH)) * size_t(ilGetInteger(IL_IMAGE_HEIGHT)) *
                       size_t(ilGetInteger(IL_IMAGE_DEPTH)) * size_t(ilGetInteger(IL_IMAGE_BPP)) *
                       size_t(ilGetInteger(IL_IMAGE_BPC));
        const unsigned char* pixels = ilGetData();
        volatile unsigned sum = 0;
        for (size_t i = 0; i < bytes; i += 61) sum = sum + pixels[i];
        if (bytes > 0) sum = sum + pixels[bytes - 1];
    }
    ilDeleteImages(1, &image);
    return 0;
}
