// Loads the show's pictures into OpenGL textures at start-up and deletes them at the end.
#include "assets/texture_bank.h"

#include "assets/image_loader.h"

#include <IL/il.h>
#include <IL/ilu.h>
#define ILUT_USE_OPENGL
#include <IL/ilut.h>

GLuint g_tex_dimbrane = 0;
GLuint g_tex_presents = 0;
GLuint g_tex_rosamelt = 0;
GLuint g_tex_flanokk = 0;
GLuint g_tex_vuveduruvi = 0;
GLuint g_tex_univers = 0;
GLuint g_tex_vexil_credits = 0;
GLuint g_tex_gfx_credit = 0;
GLuint g_tex_music_credits = 0;
GLuint g_tex_gaming = 0;
GLuint g_tex_bilde01 = 0;
GLuint g_tex_bilde02 = 0;
GLuint g_tex_bilde03 = 0;
GLuint g_tex_bilde04 = 0;
GLuint g_tex_bilde05 = 0;
GLuint g_tex_bilde06 = 0;
GLuint g_tex_bilde07 = 0;
GLuint g_tex_bilde08 = 0;
GLuint g_tex_bilde09 = 0;
GLuint g_tex_bilde10 = 0;
GLuint g_tex_bilde11 = 0;
GLuint g_tex_bilde12 = 0;
GLuint g_tex_bilde13 = 0;
GLuint g_tex_bilde14 = 0;
GLuint g_tex_bilde15 = 0;
GLuint g_tex_bilde16 = 0;
GLuint g_tex_bilde17 = 0;
GLuint g_tex_zorq1 = 0;

const texture_entry g_texture_table[28] = {
    {"data/Dimbrane.png",     &g_tex_dimbrane},
    {"data/Presents.png",     &g_tex_presents},
    {"data/Rosamelt.png",     &g_tex_rosamelt},
    {"data/Flanokk.png",      &g_tex_flanokk},
    {"data/VuvedUruvi.jpg",   &g_tex_vuveduruvi},
    {"data/Univers.png",      &g_tex_univers},
    {"data/VexilCredits.png", &g_tex_vexil_credits},
    {"data/GFXCredit.png",    &g_tex_gfx_credit},
    {"data/MusicCredits.png", &g_tex_music_credits},
    {"data/Gaming.png",       &g_tex_gaming},
    {"data/Bilde01.jpg",      &g_tex_bilde01},
    {"data/Bilde02.jpg",      &g_tex_bilde02},
    {"data/Bilde03.jpg",      &g_tex_bilde03},
    {"data/Bilde04.jpg",      &g_tex_bilde04},
    {"data/Bilde05.jpg",      &g_tex_bilde05},
    {"data/Bilde06.jpg",      &g_tex_bilde06},
    {"data/Bilde07.jpg",      &g_tex_bilde07},
    {"data/Bilde08.jpg",      &g_tex_bilde08},
    {"data/Bilde09.jpg",      &g_tex_bilde09},
    {"data/Bilde10.jpg",      &g_tex_bilde10},
    {"data/Bilde11.jpg",      &g_tex_bilde11},
    {"data/Bilde12.jpg",      &g_tex_bilde12},
    {"data/Bilde13.jpg",      &g_tex_bilde13},
    {"data/Bilde14.jpg",      &g_tex_bilde14},
    {"data/Bilde15.jpg",      &g_tex_bilde15},
    {"data/Bilde16.jpg",      &g_tex_bilde16},
    {"data/Bilde17.jpg",      &g_tex_bilde17},
    {"data/Zorq1.png",        &g_tex_zorq1},
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
