// Test support: writes small PNG and JPEG files whose corners and bands a test can recognise on screen.
#include "tests/textures/test_images.h"

#include <png.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstring>

rgba_image quadrant_image(int width, int height, rgba upper_left, rgba upper_right,
                          rgba lower_left, rgba lower_right)
{
    rgba_image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool top = y < height / 2;
            bool left = x < width / 2;
            rgba c = top ? (left ? upper_left : upper_right) : (left ? lower_left : lower_right);
            unsigned char* p = &image.pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = c.r; p[1] = c.g; p[2] = c.b; p[3] = c.a;
        }
    }
    return image;
}

rgba_image band_image(int width, int height, const std::vector<rgba>& bands)
{
    rgba_image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height * 4);
    int count = static_cast<int>(bands.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgba c = bands[static_cast<size_t>(x * count / width)];
            unsigned char* p = &image.pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = c.r; p[1] = c.g; p[2] = c.b; p[3] = c.a;
        }
    }
    return image;
}

// libpng reports failures by longjmp; every writer below keeps that inside this one function
static bool write_png(const std::string& path, int width, int height, int colour_type,
                      const std::vector<unsigned char>& rows_data, int bytes_per_pixel,
                      const std::vector<png_color>& palette)
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
    png_set_IHDR(png, info, width, height, 8, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, &rows_data[static_cast<size_t>(y) * width * bytes_per_pixel]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool write_png_rgba(const std::string& path, const rgba_image& image)
{
    return write_png(path, image.width, image.height, PNG_COLOR_TYPE_RGBA, image.pixels, 4, {});
}

bool write_png_gray(const std::string& path, const rgba_image& image)
{
    std::vector<unsigned char> gray(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < gray.size(); ++i) gray[i] = image.pixels[i * 4];
    return write_png(path, image.width, image.height, PNG_COLOR_TYPE_GRAY, gray, 1, {});
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
    return write_png(path, image.width, image.height, PNG_COLOR_TYPE_PALETTE, indices, 1, palette);
}

bool write_jpeg_progressive(const std::string& path, const rgba_image& image)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const unsigned char* src = &image.pixels[static_cast<size_t>(cinfo.next_scanline) * image.width * 4];
        for (int x = 0; x < image.width; ++x) std::memcpy(&row[static_cast<size_t>(x) * 3], src + x * 4, 3);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}
