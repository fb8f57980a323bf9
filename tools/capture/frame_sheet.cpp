// A contact sheet of captured frames, filled in as each frame is drawn.
#include "tools/capture/frame_sheet.h"

#include "tools/capture/box_filter.h"

static const int k_border = 4;
static const unsigned char k_border_grey = 24;

static contact_sheet sheet_layout(int count, int columns, int shrink, int frame_width, int frame_height)
{
    contact_sheet sheet{columns, shrink, frame_width, frame_width / shrink, frame_height / shrink, 0, 0, {}};
    int rows = (count + columns - 1) / columns;
    sheet.width = columns * (sheet.cell_width + k_border) + k_border;
    sheet.height = rows * (sheet.cell_height + k_border) + k_border;
    return sheet;
}

std::int64_t sheet_bytes(int count, int columns, int shrink, int frame_width, int frame_height)
{
    contact_sheet sheet = sheet_layout(count, columns, shrink, frame_width, frame_height);
    return static_cast<std::int64_t>(sheet.width) * sheet.height * 3;
}

contact_sheet start_sheet(int count, int columns, int shrink, int frame_width, int frame_height)
{
    contact_sheet sheet = sheet_layout(count, columns, shrink, frame_width, frame_height);
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, k_border_grey);
    return sheet;
}

void place_in_sheet(contact_sheet& sheet, int index, const unsigned char* frame)
{
    int left = k_border + index % sheet.columns * (sheet.cell_width + k_border);
    int top = k_border + index / sheet.columns * (sheet.cell_height + k_border);
    std::ptrdiff_t frame_row = static_cast<std::ptrdiff_t>(sheet.frame_width) * 3;
    for (int y = 0; y < sheet.cell_height; ++y) {
        unsigned char* out = &sheet.rgb[(static_cast<std::size_t>(top + y) * sheet.width + left) * 3];
        shrink_row(frame + y * sheet.shrink * frame_row, frame_row, 3, sheet.shrink, sheet.cell_width, out);
    }
}
