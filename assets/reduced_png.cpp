// A large PNG decoded a row at a time, interlaced passes included, and averaged down as it comes.
#include <cstring>
#include <vector>

#include <IL/il.h>
#include <png.h>

#include "assets/box_filter.h"
#include "assets/reduced_decode.h"

// Everything that must outlive a jump back from libpng's error handler lives here, in the caller.
struct png_run {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const unsigned char* bytes = nullptr;
    size_t size = 0, at = 0;
    box_filter filter;
    std::vector<unsigned char> row;
};

static void read_from_memory(png_structp png, png_bytep out, size_t length)
{
    png_run* run = static_cast<png_run*>(png_get_io_ptr(png));
    if (length > run->size - run->at) png_error(png, "the file ends early");
    std::memcpy(out, run->bytes + run->at, length);
    run->at += length;
}

static void stop_decoding(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// the show says nothing about its pictures
static void say_nothing(png_structp, png_const_charp) {}

static bool read_reduced(png_run& run, const image_check& check, uint32_t max_side)
{
    png_structp png = run.png;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &run, read_from_memory);
    png_read_info(png, run.info);
    uint32_t width = png_get_image_width(png, run.info), height = png_get_image_height(png, run.info);
    if (width != check.width || height != check.height) return false;
    // 8-bit RGB, with alpha where the file has it or a transparency chunk
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, run.info);
    int channels = png_get_channels(png, run.info);
    if (channels != 3 && channels != 4) return false;
    // interlacing is left to us: each pass comes as the small picture of its own pixels
    bool interlaced = png_get_interlace_type(png, run.info) == PNG_INTERLACE_ADAM7;

    uint32_t step = box_step(width, height, max_side);
    uint32_t out_width = (width + step - 1) / step, out_height = (height + step - 1) / step;
    if (!ilTexImage(out_width, out_height, 1, ILubyte(channels), channels == 4 ? IL_RGBA : IL_RGB,
                    IL_UNSIGNED_BYTE, nullptr)) {
        return false;
    }
    box_filter_start(run.filter, width, height, step, channels, interlaced, ilGetData());
    run.row.resize(png_get_rowbytes(png, run.info));
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        uint32_t columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
        uint32_t rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
        // libpng skips the passes that hold no pixel, as we do
        if (columns == 0 || rows == 0) continue;
        uint32_t first = interlaced ? PNG_PASS_START_COL(pass) : 0;
        uint32_t spacing = interlaced ? 1u << PNG_PASS_COL_SHIFT(pass) : 1;
        for (uint32_t j = 0; j < rows; ++j) {
            png_read_row(png, run.row.data(), nullptr);
            uint32_t y = interlaced ? PNG_ROW_FROM_PASS_ROW(j, pass) : j;
            box_filter_add(run.filter, y, first, spacing, run.row.data(), columns);
        }
    }
    png_read_end(png, nullptr);
    box_filter_finish(run.filter);
    return true;
}

bool decode_reduced_png(const unsigned char* bytes, size_t size, const image_check& check, uint32_t max_side)
{
    png_run run;
    run.bytes = bytes;
    run.size = size;
    run.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stop_decoding, say_nothing);
    if (!run.png) return false;
    run.info = png_create_info_struct(run.png);
    bool decoded = run.info && read_reduced(run, check, max_side);
    png_destroy_read_struct(&run.png, &run.info, nullptr);
    return decoded;
}
