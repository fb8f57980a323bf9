// A contact sheet of captured frames, filled in as each frame is drawn.
#pragma once

#include <cstdint>
#include <vector>

struct contact_sheet {
    int columns, shrink;
    int frame_width;
    int cell_width, cell_height;  // a frame shrunk by `shrink`
    int width, height;
    std::vector<unsigned char> rgb;  // rows from the top
};

// The sheet's bytes for `count` frames of frame_width x frame_height, before it is made.
std::int64_t sheet_bytes(int count, int columns, int shrink, int frame_width, int frame_height);

// An empty sheet for `count` frames in a grid of `columns`, each frame shrunk by a whole factor,
// with a thin border around every cell.
contact_sheet start_sheet(int count, int columns, int shrink, int frame_width, int frame_height);

// Shrinks frame `index` (RGB, rows from the top, the size the sheet was started for) into its cell.
void place_in_sheet(contact_sheet& sheet, int index, const unsigned char* frame);
