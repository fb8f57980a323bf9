// The texture bank: every picture of the show, one OpenGL texture per image file.
#pragma once

#include <GL/gl.h>

// One slot per image, holding its texture name; 0 until the bank is loaded.
extern GLuint g_tex_dimbrane;       // "data/Dimbrane.png"
extern GLuint g_tex_presents;       // "data/Presents.png"
extern GLuint g_tex_rosamelt;       // "data/Rosamelt.png"
extern GLuint g_tex_flanokk;        // "data/Flanokk.png"
extern GLuint g_tex_vuveduruvi;     // "data/VuvedUruvi.jpg"
extern GLuint g_tex_univers;        // "data/Univers.png"
extern GLuint g_tex_vexil_credits;  // "data/VexilCredits.png"
extern GLuint g_tex_gfx_credit;     // "data/GFXCredit.png"
extern GLuint g_tex_music_credits;  // "data/MusicCredits.png"
extern GLuint g_tex_gaming;         // "data/Gaming.png"
extern GLuint g_tex_bilde01;        // "data/Bilde01.jpg" ... "data/Bilde17.jpg"
extern GLuint g_tex_bilde02;
extern GLuint g_tex_bilde03;
extern GLuint g_tex_bilde04;
extern GLuint g_tex_bilde05;
extern GLuint g_tex_bilde06;
extern GLuint g_tex_bilde07;
extern GLuint g_tex_bilde08;
extern GLuint g_tex_bilde09;
extern GLuint g_tex_bilde10;
extern GLuint g_tex_bilde11;
extern GLuint g_tex_bilde12;
extern GLuint g_tex_bilde13;
extern GLuint g_tex_bilde14;
extern GLuint g_tex_bilde15;
extern GLuint g_tex_bilde16;
extern GLuint g_tex_bilde17;
extern GLuint g_tex_zorq1;          // "data/Zorq1.png"

struct texture_entry {
    const char* path;
    GLuint* slot;
};

// The bank in load order.
extern const texture_entry g_texture_table[28];

// Loads every image into its slot (needs a current GL context); leaves 2D texturing on.
bool load_textures();

// Deletes every texture of the bank.
bool free_textures();
