// The texture bank: every picture of the show, one OpenGL texture per image file.
#pragma once

#include <GL/gl.h>

// One slot per image, holding its texture name; 0 until the bank is loaded. The slots are named in
// the list of pictures: g_tex_dimbrane for "data/Dimbrane.png", g_tex_bilde05 for "data/Bilde05.jpg", ...
#define VL_PICTURE(file, role, width, height, slot) extern GLuint slot;
#include "assets/picture_list.h"
#undef VL_PICTURE

struct texture_entry {
    const char* path;
    GLuint* slot;
};

#define VL_PICTURE(file, role, width, height, slot) +1
const int k_texture_count = 0
#include "assets/picture_list.h"
    ;
#undef VL_PICTURE

// The bank in load order.
extern const texture_entry g_texture_table[k_texture_count];

// Loads every image into its slot (needs a current GL context); leaves 2D texturing on.
bool load_textures();

// Deletes every texture of the bank.
bool free_textures();
