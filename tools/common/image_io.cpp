// PNG and JPEG files read and written with libpng and libjpeg, for the tools and the tests alike.
#include "tools/common/image_io.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg reports a fatal error through error_exit; this one jumps back with its message.
struct jpeg_trap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

static void jpeg_fail(j_common_ptr cinfo)
{
    jpeg_trap* trap = reinterpret_cast<jpeg_trap*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, trap->message);
    longjmp(trap->jump, 1);
}

static bool read_png(const std::string& path, decoded_image& out)
{
    png_image p;
    std::memset(&p, 0, sizeof p);
    p.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&p, path.c_str())) {
        out.error = p.message;
        return false;
    }
    out.has_alpha = (p.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    p.format = PNG_FORMAT_RGBA;
    out.image.width = static_cast<int>(p.width);
    out.image.height = static_cast<int>(p.height);
    out.image.pixels.resize(PNG_IMAGE_SIZE(p));
    if (!png_image_finish_read(&p, nullptr, out.image.pixels.data(), 0, nullptr)) {
        out.error = p.message;
        png_image_free(&p);
        return false;
    }
    return true;
}

static bool read_jpeg(FILE* file, decoded_image& out)
{
    jpeg_decompress_struct cinfo;
    jpeg_trap trap;
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = jpeg_fail;
    if (setjmp(trap.jump)) {
        out.error = trap.message;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    rgba_image& image = out.image;
    image.width = static_cast<int>(cinfo.output_width);
    image.height = static_cast<int>(cinfo.output_height);
    image.pixels.assign(static_cast<size_t>(image.width) * image.height * 4, 255);
    std::vector<unsigned char> line(static_cast<size_t>(image.width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        size_t y = cinfo.output_scanline;
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&cinfo, &row, 1);
        for (int x = 0; x < image.width; ++x) {
            std::memcpy(&image.pixels[(y * image.width + x) * 4], &line[static_cast<size_t>(x) * 3], 3);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    // a corrupt stream that libjpeg could patch over still counts as a failure
    if (trap.mgr.num_warnings > 0) {
        out.error = "libjpeg warned while decoding";
        return false;
    }
    return true;
}

decoded_image read_image_file(const std::string& path)
{
    decoded_image out;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        out.error = "cannot open " + path;
        return out;
    }
    unsigned char signature[8] = {0};
    size_t n = std::fread(signature, 1, 8, file);
    static const unsigned char k_png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (n == 8 && std::memcmp(signature, k_png_signature, 8) == 0) {
        std::fclose(file);
        out.format = "png";
        out.ok = read_png(path, out);
    } else if (n >= 3 && signature[0] == 0xff && signature[1] == 0xd8 && signature[2] == 0xff) {
        std::rewind(file);
        out.format = "jpeg";
        out.ok = read_jpeg(file, out);
        std::fclose(file);
    } else {
        std::fclose(file);
        out.error = "neither a PNG nor a JPEG signature";
    }
    return out;
}

// libpng reports failures by longjmp; every PNG writer keeps that inside this one function.
static bool write_png_rows(const std::string& path, int width, int height, int colour_type, int bytes_per_pixel,
                           const unsigned char* rows, const std::vector<png_color>& palette)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, colour_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, const_cast<png_bytep>(rows + static_cast<size_t>(y) * width * bytes_per_pixel));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels)
{
    int colour_type = channels == 1 ? PNG_COLOR_TYPE_GRAY
        : channels == 3             ? PNG_COLOR_TYPE_RGB
        : channels == 4             ? PNG_COLOR_TYPE_RGBA
                                    : -1;
    if (colour_type < 0) return false;
    return write_png_rows(path, width, height, colour_type, channels, pixels, {});
}

bool write_png_rgba(const std::string& path, const rgba_image& image)
{
    return write_png(path, image.width, image.height, 4, image.pixels.data());
}

bool write_png_palette(const std::string& path, const rgba_image& image)
{
    std::vector<png_color> palette;
    std::vector<unsigned char> indices(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < indices.size(); ++i) {
        png_color c = {image.pixels[i * 4], image.pixels[i * 4 + 1], image.pixels[i * 4 + 2]};
        size_t k = 0;
        while (k < palette.size() && std::memcmp(&palette[k], &c, sizeof c) != 0) ++k;
        if (k == palette.size()) {
            if (palette.size() == 256) return false;
            palette.push_back(c);
        }
        indices[i] = static_cast<unsigned char>(k);
    }
    return write_png_rows(path, image.width, image.height, PNG_COLOR_TYPE_PALETTE, 1, indices.data(), palette);
}

bool write_jpeg(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
                const jpeg_options& options)
{
    if (channels != 3 && channels != 4) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct cinfo;
    jpeg_trap trap;
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = jpeg_fail;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::fclose(file);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&cinfo);
    if (options.full_chroma) {
        cinfo.comp_info[0].h_samp_factor = 1;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    if (options.optimize) cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> line(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const unsigned char* src = pixels + static_cast<size_t>(cinfo.next_scanline) * width * channels;
        for (int x = 0; x < width; ++x) std::memcpy(&line[static_cast<size_t>(x) * 3], src + x * channels, 3);
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}
