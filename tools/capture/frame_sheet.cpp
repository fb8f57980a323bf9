// A contact sheet of captured frames.
#include "tools/capture/frame_sheet.h"

#include <cstdio>

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
