// Test support: damaged and crafted image files, built byte by byte or patched from real ones.
#include "tests/textures/crafted_images.h"

#include <jpeglib.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

file_bytes read_file_bytes(const std::string& path)
{
    file_bytes bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    return bytes;
}

bool write_file_bytes(const std::string& path, const file_bytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// the writers only write files: make one in a scratch file and read it back
file_bytes through_file(bool (*writer)(const std::string&, const rgba_image&), const rgba_image& image)
{
    char path[] = "/tmp/vl-crafted-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    file_bytes bytes = writer(path, image) ? read_file_bytes(path) : file_bytes();
    std::remove(path);
    return bytes;
}

file_bytes png_bytes(const rgba_image& image)
{
    return through_file(write_png_rgba, image);
}

file_bytes jpeg_bytes(const rgba_image& image)
{
    return through_file(write_jpeg_progressive, image);
}

static void append_to_bytes(png_structp png, png_bytep data, size_t length)
{
    file_bytes* out = static_cast<file_bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

file_bytes interlaced_png_bytes(const rgba_image& image)
{
    file_bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, append_to_bytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // libpng picks each pass's pixels out of whole rows
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < image.height; ++y) {
            png_write_row(png, &image.pixels[static_cast<size_t>(y) * image.width * 4]);
        }
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

file_bytes adobe_cmyk_jpeg_bytes(const rgba_image& image, bool ycck)
{
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    // libjpeg writes the Adobe marker for both; YCCK is how Photoshop usually stores CMYK
    jpeg_set_colorspace(&cinfo, ycck ? JCS_YCCK : JCS_CMYK);
    cinfo.write_Adobe_marker = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(image.width) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const unsigned char* src = &image.pixels[static_cast<size_t>(cinfo.next_scanline) * image.width * 4];
        for (int x = 0; x < image.width; ++x) {
            // stored inverted: 255 means no ink. With k' the brightest channel, c' = r / k' etc.
            int r = src[x * 4], g = src[x * 4 + 1], b = src[x * 4 + 2];
            int k = std::max(r, std::max(g, b));
            unsigned char* out = &row[static_cast<size_t>(x) * 4];
            out[0] = static_cast<unsigned char>(k ? (r * 255 + k / 2) / k : 255);
            out[1] = static_cast<unsigned char>(k ? (g * 255 + k / 2) / k : 255);
            out[2] = static_cast<unsigned char>(k ? (b * 255 + k / 2) / k : 255);
            out[3] = static_cast<unsigned char>(k);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    file_bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

file_bytes jpeg_claiming(int width, int height, bool baseline)
{
    rgba_image small =
        quadrant_image(16, 16, {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 255});
    file_bytes bytes = baseline ? through_file(write_jpeg_baseline, small) : jpeg_bytes(small);
    // walk the marker segments to the frame header (SOF0..SOF15 but DHT, JPG and DAC)
    size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        unsigned char marker = bytes[at + 1];
        size_t length = (bytes[at + 2] << 8) | bytes[at + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            bytes[at + 5] = static_cast<unsigned char>(height >> 8);
            bytes[at + 6] = static_cast<unsigned char>(height);
            bytes[at + 7] = static_cast<unsigned char>(width >> 8);
            bytes[at + 8] = static_cast<unsigned char>(width);
            return bytes;
        }
        at += 2 + length;
    }
    return {};
}

static void put_u32(file_bytes& out, unsigned long value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

static void put_chunk(file_bytes& out, const char* type, const file_bytes& data)
{
    put_u32(out, data.size());
    size_t type_at = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, &out[type_at], static_cast<uInt>(4 + data.size()));
    put_u32(out, crc);
}

static const unsigned char k_png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

file_bytes png_claiming(int width, int height, int depth, int colour_type, int rows)
{
    file_bytes out(k_png_signature, k_png_signature + 8);
    file_bytes header;
    put_u32(header, static_cast<unsigned long>(width));
    put_u32(header, static_cast<unsigned long>(height));
    header.push_back(static_cast<unsigned char>(depth));
    header.push_back(static_cast<unsigned char>(colour_type));
    header.insert(header.end(), {0, 0, 0});
    put_chunk(out, "IHDR", header);

    // black rows, each a filter byte of 0 and zero samples, deflated a row at a time
    int channels = colour_type == 2 ? 3 : colour_type == 4 ? 2 : colour_type == 6 ? 4 : 1;
    z_stream z = {};
    deflateInit(&z, Z_BEST_COMPRESSION);
    file_bytes row(1 + (static_cast<size_t>(width) * channels * depth + 7) / 8, 0);
    file_bytes packed;
    unsigned char buffer[65536];
    for (int y = 0; y <= rows; ++y) {
        bool last = y == rows;
        z.next_in = row.data();
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = buffer;
            z.avail_out = sizeof buffer;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            packed.insert(packed.end(), buffer, buffer + (sizeof buffer - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    put_chunk(out, "IDAT", packed);
    put_chunk(out, "IEND", {});
    return out;
}

file_bytes rgb_png_claiming(int width, int height, int rows)
{
    return png_claiming(width, height, 8, 2, rows);
}

file_bytes png_with_background(const rgba_image& image)
{
    file_bytes real = png_bytes(image);
    if (real.size() < 33) return {};
    // signature and IHDR, a white background (three 16-bit samples), then the rest
    file_bytes out(real.begin(), real.begin() + 33);
    put_chunk(out, "bKGD", {0, 255, 0, 255, 0, 255});
    out.insert(out.end(), real.begin() + 33, real.end());
    return out;
}

file_bytes png_with_chunk_past_end(const rgba_image& image)
{
    file_bytes out = png_with_background(image);
    if (out.empty()) return out;
    unsigned long claimed = static_cast<unsigned long>(out.size()) + 1000;
    for (int i = 0; i < 4; ++i) out[33 + i] = static_cast<unsigned char>(claimed >> (24 - 8 * i));
    return out;
}

file_bytes jpeg_with_segment_past_end()
{
    static const unsigned char k_bytes[20] = {0xFF, 0xD8, 0xFF, 0xE0, 0x01, 0x00, 0, 0, 0,    0,
                                              0,    0,    0,    0,    0,    0,    0, 0, 0xFF, 0xD9};
    return file_bytes(k_bytes, k_bytes + sizeof k_bytes);
}

file_bytes jpeg_with_comment_past_end(const rgba_image& image)
{
    file_bytes out = jpeg_bytes(image);
    if (out.size() < 2) return {};
    // FF FE is a comment; its length bytes are the old end marker, FF D9
    out.insert(out.end() - 2, {0xFF, 0xFE});
    return out;
}

file_bytes cut_to(const file_bytes& bytes, size_t size)
{
    return file_bytes(bytes.begin(), bytes.begin() + std::min(size, bytes.size()));
}
