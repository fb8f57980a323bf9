// Image files into textures: read whole into a buffer of our own, so that what was checked is what DevIL decodes.
#include "assets/image_loader.h"

#include <sys/mman.h>

#include <algorithm>

#include <IL/il.h>
#include <IL/ilu.h>
#define ILUT_USE_OPENGL
#include <IL/ilut.h>

#include "assets/image_guard.h"
#include "assets/ink.h"
#include "assets/reduced_decode.h"
#include "assets/whole_file.h"

// a larger file is refused anyway; the pages are touched only as far as the file read, and those
// past the first few megabytes are given back after each file (drop_file_pages)
alignas(4096) static unsigned char g_file_bytes[k_image_file_limit];
static const size_t k_file_pages_kept = 4u << 20;

void start_image_decoder()
{
    ilInit();
    iluInit();
    ilutRenderer(ILUT_OPENGL);
    ilutInit();

    // decoded rows start at the image's bottom, as OpenGL wants them: texture coordinate (0, 0) is
    // the lower-left corner of every picture, whichever way its file stores the rows
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
}

// A camera's photo leaves tens of megabytes in the buffer; the show's own pictures stay below
// what is kept, so they load as fast as ever.
static void drop_file_pages(size_t size)
{
    if (size > k_file_pages_kept)
        madvise(g_file_bytes + k_file_pages_kept, size - k_file_pages_kept, MADV_DONTNEED);
}

// Turns the bound image's four ink channels into RGB with full alpha, then drops the alpha: the
// file had none.
static bool ink_to_rgb(image_ink ink)
{
    if (ilGetInteger(IL_IMAGE_BPP) != 4 || ilGetInteger(IL_IMAGE_TYPE) != IL_UNSIGNED_BYTE) {
        return false;
    }
    size_t pixels = size_t(ilGetInteger(IL_IMAGE_WIDTH)) * size_t(ilGetInteger(IL_IMAGE_HEIGHT)) *
        size_t(ilGetInteger(IL_IMAGE_DEPTH));
    unsigned char* p = ilGetData();
    for (size_t i = 0; i < pixels; ++i, p += 4) {
        ink_to_rgb_pixel(p, ink, p);
        p[3] = 255;
    }
    return ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE) == IL_TRUE;
}

bool decode_checked_image(const unsigned char* bytes, size_t size, uint32_t max_side)
{
    image_check check = check_image(bytes, size);
    if (check.kind == k_image_refused) return false;
    if (check.width > max_side || check.height > max_side) {
        return check.kind == k_image_png ? decode_reduced_png(bytes, size, check, max_side)
                                         : decode_reduced_jpeg(bytes, size, check, max_side);
    }
    // the signature, not the name, chooses the decoder
    ILenum type = check.kind == k_image_png ? IL_PNG : IL_JPG;
    if (!ilLoadL(type, bytes, static_cast<ILuint>(size))) return false;
    // the decoder must have read the size the check allowed, not another
    if (ILuint(ilGetInteger(IL_IMAGE_WIDTH)) != check.width || ILuint(ilGetInteger(IL_IMAGE_HEIGHT)) != check.height) {
        return false;
    }
    if (check.ink != k_ink_none) return ink_to_rgb(check.ink);
    return true;
}

GLuint load_image_texture(const char* path)
{
    size_t size = 0;
    if (!read_whole_file(path, g_file_bytes, sizeof g_file_bytes, &size)) return 0;
    // without a context the query leaves 0, and every image is refused
    GLint gl_max_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max_side);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    GLuint texture = 0;
    uint32_t max_side = std::min(uint32_t(std::max(gl_max_side, 0)), k_texture_max_side);
    if (max_side > 0 && decode_checked_image(g_file_bytes, size, max_side)) texture = ilutGLBindTexImage();
    ilDeleteImages(1, &image);
    drop_file_pages(size);
    return texture;
}
