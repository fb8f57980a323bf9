// The list of pictures as plain records, expanded from the one list.
#include "assets/picture_files.h"

#include <cstring>

const picture_file g_picture_files[k_picture_count] = {
#define VL_PICTURE(file, role, width, height, slot) {file, role, width, height},
#include "assets/picture_list.h"
#undef VL_PICTURE
};

const picture_file* find_picture_file(const char* file)
{
    for (const picture_file& p : g_picture_files)
        if (std::strcmp(p.file, file) == 0) return &p;
    return nullptr;
}
