// A contact sheet of captured frames, written as a PNG.
#include "tools/capture/png_sheet.h"

#include <png.h>

#include <cstdio>

bool write_png(const std::string& path, const frame_image& image)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        png_write_row(png, const_cast<png_bytep>(&image.rgb[static_cast<size_t>(y) * image.width * 3]));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// Box-filters a frame down by an integer factor.
static void shrink_into(const frame_image& frame, int shrink, frame_image& sheet, int left, int top)
{
    int w = frame.width / shrink, h = frame.height / shrink;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < shrink; ++dy) {
                    for (int dx = 0; dx < shrink; ++dx) {
                        sum += frame.rgb[((y * shrink + dy) * frame.width + x * shrink + dx) * 3 + c];
                    }
                }
                sheet.rgb[((top + y) * sheet.width + left + x) * 3 + c] =
                    static_cast<unsigned char>(sum / (shrink * shrink));
            }
        }
    }
}

frame_image make_sheet(const std::vector<frame_image>& frames, int columns, int shrink)
{
    const int border = 4;
    frame_image sheet{0, 0, {}, "sheet"};
    if (frames.empty()) return sheet;
    int cell_w = frames[0].width / shrink, cell_h = frames[0].height / shrink;
    int rows = (static_cast<int>(frames.size()) + columns - 1) / columns;
    sheet.width = columns * (cell_w + border) + border;
    sheet.height = rows * (cell_h + border) + border;
    sheet.rgb.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, 24);
    for (size_t i = 0; i < frames.size(); ++i) {
        int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        shrink_into(frames[i], shrink, sheet, border + col * (cell_w + border), border + row * (cell_h + border));
    }
    return sheet;
}
