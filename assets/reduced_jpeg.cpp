// A large JPEG decoded at a fraction of its size by libjpeg itself, a scan line at a time.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <IL/il.h>
#include <jpeglib.h>

#include "assets/box_filter.h"
#include "assets/ink.h"
#include "assets/reduced_decode.h"

// A progressive file keeps every coefficient until its last scan (2 bytes a sample): this allows
// that for a 50-megapixel picture with the usual halved colour; beyond it the file is refused.
static const long k_jpeg_memory = 192l << 20;

struct jpeg_failure {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

// Everything that must outlive a jump back from libjpeg's error handler lives here, in the caller.
struct jpeg_run {
    jpeg_decompress_struct info;
    jpeg_failure failure;
    box_filter filter;
    std::vector<unsigned char> row;
};

static void stop_decoding(j_common_ptr info)
{
    longjmp(reinterpret_cast<jpeg_failure*>(info->err)->jump, 1);
}

// the show says nothing about its pictures: a damaged scan is decoded as far as it goes
static void say_nothing(j_common_ptr) {}

static bool read_scaled(jpeg_run& run, const image_check& check, uint32_t max_side)
{
    jpeg_decompress_struct& info = run.info;
    if (setjmp(run.failure.jump)) return false;
    jpeg_read_header(&info, TRUE);
    if (info.image_width != check.width || info.image_height != check.height) return false;
    info.out_color_space = check.ink != k_ink_none ? JCS_CMYK : JCS_RGB;
    // the largest of libjpeg's eighths that fits; below an eighth the box filter goes on
    info.scale_denom = 8;
    for (info.scale_num = 8; info.scale_num > 1; --info.scale_num) {
        jpeg_calc_output_dimensions(&info);
        if (info.output_width <= max_side && info.output_height <= max_side) break;
    }
    jpeg_start_decompress(&info);

    uint32_t step = box_step(info.output_width, info.output_height, max_side);
    uint32_t width = (info.output_width + step - 1) / step, height = (info.output_height + step - 1) / step;
    if (!ilTexImage(width, height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, nullptr)) return false;
    box_filter_start(run.filter, info.output_width, info.output_height, step, 3, false, ilGetData());
    run.row.resize(size_t(info.output_width) * size_t(info.output_components));
    while (info.output_scanline < info.output_height) {
        uint32_t y = info.output_scanline;
        JSAMPROW rows[1] = {run.row.data()};
        if (jpeg_read_scanlines(&info, rows, 1) != 1) return false;
        if (check.ink != k_ink_none) {
            // in place: each pixel's RGB is written over the ink it came from, never ahead of it
            for (uint32_t x = 0; x < info.output_width; ++x) {
                ink_to_rgb_pixel(&run.row[x * 4], check.ink, &run.row[x * 3]);
            }
        }
        box_filter_add(run.filter, y, 0, 1, run.row.data(), info.output_width);
    }
    box_filter_finish(run.filter);
    jpeg_finish_decompress(&info);
    return true;
}

bool decode_reduced_jpeg(const unsigned char* bytes, size_t size, const image_check& check, uint32_t max_side)
{
    jpeg_run run;
    run.info.err = jpeg_std_error(&run.failure.manager);
    run.failure.manager.error_exit = stop_decoding;
    run.failure.manager.output_message = say_nothing;
    jpeg_create_decompress(&run.info);
    run.info.mem->max_memory_to_use = k_jpeg_memory;
    jpeg_mem_src(&run.info, bytes, static_cast<unsigned long>(size));
    bool decoded = read_scaled(run, check, max_side);
    jpeg_destroy_decompress(&run.info);
    return decoded;
}
