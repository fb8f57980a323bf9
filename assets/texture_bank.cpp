// Loads the show's pictures into OpenGL textures at start-up and deletes them at the end.
#include "assets/texture_bank.h"

#include "assets/image_loader.h"

#include <IL/il.h>
#include <IL/ilu.h>
#define ILUT_USE_OPENGL
#include <IL/ilut.h>

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
    ilInit();
    iluInit();
    ilutRenderer(ILUT_OPENGL);
    ilutInit();

    // decoded rows start at the image's bottom, as OpenGL wants them: texture coordinate (0, 0) is
    // the lower-left corner of every picture, whichever way its file stores the rows
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);

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
