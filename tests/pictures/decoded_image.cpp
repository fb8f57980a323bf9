// Decodes a PNG (libpng's simplified API) or a JPEG (libjpeg), picked by the file's signature.
#include "tests/pictures/decoded_image.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

static bool read_png(const std::string &path, decoded_image &img)
{
    png_image p;
    std::memset(&p, 0, sizeof p);
    p.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&p, path.c_str())) {
        img.error = p.message;
        return false;
    }
    img.has_alpha = (p.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    p.format = PNG_FORMAT_RGBA;
    img.width = int(p.width);
    img.height = int(p.height);
    img.rgba.resize(PNG_IMAGE_SIZE(p));
    if (!png_image_finish_read(&p, nullptr, img.rgba.data(), 0, nullptr)) {
        img.error = p.message;
        png_image_free(&p);
        return false;
    }
    return true;
}

struct jpeg_trap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

static void jpeg_fail(j_common_ptr cinfo)
{
    jpeg_trap *t = reinterpret_cast<jpeg_trap *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, t->message);
    longjmp(t->jump, 1);
}

static bool read_jpeg(FILE *f, decoded_image &img)
{
    jpeg_decompress_struct cinfo;
    jpeg_trap trap;
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = jpeg_fail;
    if (setjmp(trap.jump)) {
        img.error = trap.message;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    img.width = int(cinfo.output_width);
    img.height = int(cinfo.output_height);
    img.rgba.assign(size_t(img.width) * img.height * 4, 255);
    std::vector<unsigned char> line(size_t(img.width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        size_t y = cinfo.output_scanline;
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&cinfo, &row, 1);
        for (int x = 0; x < img.width; ++x)
            std::memcpy(&img.rgba[(y * img.width + x) * 4], &line[size_t(x) * 3], 3);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    // A corrupt stream that libjpeg could patch over still counts as a failure.
    if (trap.mgr.num_warnings > 0) {
        img.error = "libjpeg warned while decoding";
        return false;
    }
    return true;
}

decoded_image decode_image_file(const std::string &path)
{
    decoded_image img;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        img.error = "cannot open " + path;
        return img;
    }
    unsigned char sig[8] = {0};
    size_t n = std::fread(sig, 1, 8, f);
    static const unsigned char png_sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (n == 8 && std::memcmp(sig, png_sig, 8) == 0) {
        std::fclose(f);
        img.format = "png";
        img.ok = read_png(path, img);
    } else if (n >= 3 && sig[0] == 0xff && sig[1] == 0xd8 && sig[2] == 0xff) {
        std::rewind(f);
        img.format = "jpeg";
        img.ok = read_jpeg(f, img);
        std::fclose(f);
    } else {
        std::fclose(f);
        img.error = "neither a PNG nor a JPEG signature";
    }
    return img;
}
