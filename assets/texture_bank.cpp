// Loads the show's pictures into OpenGL textures at start-up and deletes them at the end.
#include "assets/texture_bank.h"

#include "assets/image_loader.h"

#define VL_PICTURE(file, role, width, height, slot) GLuint slot = 0;
#include "assets/picture_list.h"
#undef VL_PICTURE

const texture_entry g_texture_table[k_texture_count] = {
#define VL_PICTURE(file, role, width, height, slot) {"data/" file, &slot},
#include "assets/picture_list.h"
#undef VL_PICTURE
};

bool load_textures()
{
    start_image_decoder();

    // a file that is missing, refused by the image check or will not decode yields 0: OpenGL's
    // default texture, drawn untextured
    for (const texture_entry& entry : g_texture_table) {
        *entry.slot = load_image_texture(entry.path);
    }

    // the toolkit start-up switches 2D texturing on; said again so no picture depends on the loader
    glEnable(GL_TEXTURE_2D);
    return true;
}

bool free_textures()
{
    for (const texture_entry& entry : g_texture_table) {
        glDeleteTextures(1, entry.slot);
    }
    return true;
}
