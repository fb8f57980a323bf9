// The list of pictures as plain records, for the programs that make and check the files (not the show).
#pragma once

enum picture_role { k_title_strip, k_billboard, k_slide, k_backdrop, k_environment };

struct picture_file {
    const char* file;  // name in the data folder, e.g. "Bilde05.jpg"
    picture_role role;
    int width, height;
};

#define VL_PICTURE(file, role, width, height, slot) +1
const int k_picture_count = 0
#include "assets/picture_list.h"
    ;
#undef VL_PICTURE

// In the bank's load order.
extern const picture_file g_picture_files[k_picture_count];

// The record of a file name, or null.
const picture_file* find_picture_file(const char* file);

// Strips and billboards are cut out of what lies behind them by the alpha test.
inline bool is_cut_out(picture_role role)
{
    return role == k_title_strip || role == k_billboard;
}
