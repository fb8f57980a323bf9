// The show's pictures, one line each in the bank's load order: file in data/, role, size, texture slot.
// The one home of this list: the texture bank, the picture generator and the tests all expand it.
// Define VL_PICTURE(file, role, width, height, slot) before including; no include guard, on purpose.
// Roles: k_title_strip (8:1, cut out), k_billboard (2:1, cut out), k_slide, k_backdrop, k_environment.
// clang-format off
VL_PICTURE("Dimbrane.png",     k_title_strip, 1024,  128, g_tex_dimbrane)
VL_PICTURE("Presents.png",     k_title_strip, 1024,  128, g_tex_presents)
VL_PICTURE("Rosamelt.png",     k_billboard,   1024,  512, g_tex_rosamelt)
VL_PICTURE("Flanokk.png",      k_billboard,   1024,  512, g_tex_flanokk)
VL_PICTURE("VuvedUruvi.jpg",   k_environment,  512,  512, g_tex_vuveduruvi)
VL_PICTURE("Univers.png",      k_backdrop,    1024, 1024, g_tex_univers)
VL_PICTURE("VexilCredits.png", k_billboard,   1024,  512, g_tex_vexil_credits)
VL_PICTURE("GFXCredit.png",    k_billboard,   1024,  512, g_tex_gfx_credit)
VL_PICTURE("MusicCredits.png", k_billboard,   1024,  512, g_tex_music_credits)
VL_PICTURE("Gaming.png",       k_billboard,   1024,  512, g_tex_gaming)
VL_PICTURE("Bilde01.jpg",      k_slide,       1024, 1024, g_tex_bilde01)
VL_PICTURE("Bilde02.jpg",      k_slide,       1024, 1024, g_tex_bilde02)
VL_PICTURE("Bilde03.jpg",      k_slide,       1024, 1024, g_tex_bilde03)
VL_PICTURE("Bilde04.jpg",      k_slide,       1024, 1024, g_tex_bilde04)
VL_PICTURE("Bilde05.jpg",      k_slide,       1024, 1024, g_tex_bilde05)
VL_PICTURE("Bilde06.jpg",      k_slide,       1024, 1024, g_tex_bilde06)
VL_PICTURE("Bilde07.jpg",      k_slide,       1024, 1024, g_tex_bilde07)
VL_PICTURE("Bilde08.jpg",      k_slide,       1024, 1024, g_tex_bilde08)
VL_PICTURE("Bilde09.jpg",      k_slide,       1024, 1024, g_tex_bilde09)
VL_PICTURE("Bilde10.jpg",      k_slide,       1024, 1024, g_tex_bilde10)
VL_PICTURE("Bilde11.jpg",      k_slide,       1024, 1024, g_tex_bilde11)
VL_PICTURE("Bilde12.jpg",      k_slide,       1024, 1024, g_tex_bilde12)
VL_PICTURE("Bilde13.jpg",      k_slide,       1024, 1024, g_tex_bilde13)
VL_PICTURE("Bilde14.jpg",      k_slide,       1024, 1024, g_tex_bilde14)
VL_PICTURE("Bilde15.jpg",      k_slide,       1024, 1024, g_tex_bilde15)
VL_PICTURE("Bilde16.jpg",      k_slide,       1024, 1024, g_tex_bilde16)
VL_PICTURE("Bilde17.jpg",      k_slide,       1024, 1024, g_tex_bilde17)
VL_PICTURE("Zorq1.png",        k_billboard,   1024,  512, g_tex_zorq1)
// clang-format on
