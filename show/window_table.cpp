// The window table: the show's score, one time window per row, tested and drawn in this order.
#include "show/window_table.h"

#include <cmath>

#include "assets/texture_bank.h"

const double k_no_lower_bound = -HUGE_VAL;

// The last bound is the single-precision 83.0, the show's end.
const show_window g_window_table[29] = {
    // from              until   scene                    texture                 x     y      z
    {k_no_lower_bound,   12.8,   scene_title_strips,      &g_tex_dimbrane,      0.0f,  0.0f, -1.4f},
    { 6.35,              10.9,   scene_billboard,         &g_tex_flanokk,       0.0f,  0.1f, -1.4f},
    {10.9,               11.8,   scene_sliding_billboard, &g_tex_flanokk,       0.0f,  0.1f, -1.4f},
    {11.8,               12.8,   scene_picture,           &g_tex_bilde01,       0.0f,  0.0f, -1.8f},
    {12.8,               13.8,   scene_picture,           &g_tex_bilde02,       0.0f,  0.0f, -1.8f},
    {13.8,               14.8,   scene_picture,           &g_tex_bilde03,       0.0f,  0.0f, -1.8f},
    {14.8,               15.8,   scene_picture,           &g_tex_bilde04,       0.0f,  0.0f, -1.8f},
    {15.8,               16.8,   scene_picture,           &g_tex_bilde05,       0.0f,  0.0f, -1.8f},
    {16.8,               17.8,   scene_picture,           &g_tex_bilde06,       0.0f,  0.0f, -1.8f},
    {17.8,               18.8,   scene_picture,           &g_tex_bilde07,       0.0f,  0.0f, -1.8f},
    {18.8,               19.8,   scene_picture,           &g_tex_bilde08,       0.0f,  0.0f, -1.8f},
    {19.8,               20.8,   scene_picture,           &g_tex_bilde09,       0.0f,  0.0f, -1.8f},
    {20.8,               21.8,   scene_picture,           &g_tex_bilde10,       0.0f,  0.0f, -1.8f},
    {21.8,               22.8,   scene_picture,           &g_tex_bilde11,       0.0f,  0.0f, -1.8f},
    {22.8,               23.8,   scene_picture,           &g_tex_bilde12,       0.0f,  0.0f, -1.8f},
    {23.8,               24.8,   scene_picture,           &g_tex_bilde13,       0.0f,  0.0f, -1.8f},
    {24.8,               25.8,   scene_picture,           &g_tex_bilde14,       0.0f,  0.0f, -1.8f},
    {25.8,               26.8,   scene_picture,           &g_tex_bilde15,       0.0f,  0.0f, -1.8f},
    {26.8,               27.8,   scene_picture,           &g_tex_bilde16,       0.0f,  0.0f, -1.8f},
    {27.8,               28.2,   scene_picture,           &g_tex_bilde17,       0.0f,  0.0f, -1.8f},
    {28.2,               28.8,   scene_picture,           &g_tex_bilde01,       0.0f,  0.0f, -1.8f},
    {28.8,               29.3,   scene_picture,           &g_tex_bilde01,       0.0f,  0.0f, -1.8f},
    {29.3,               83.0f,  scene_model,             &g_tex_univers,       0.0f,  0.0f,  0.0f},
    {29.3,               31.5,   scene_model_billboard,   &g_tex_rosamelt,      0.0f,  0.1f, -1.4f},
    {31.5,               34.6,   scene_model_billboard,   &g_tex_zorq1,         0.0f,  0.1f, -1.4f},
    {34.6,               38.6,   scene_model_billboard,   &g_tex_vexil_credits, 0.0f,  0.2f, -2.4f},
    {38.6,               42.6,   scene_model_billboard,   &g_tex_gfx_credit,    0.0f,  0.2f, -2.4f},
    {42.6,               46.6,   scene_model_billboard,   &g_tex_music_credits, 0.0f, -0.2f, -2.4f},
    {46.6,               83.0f,  scene_model_billboard,   &g_tex_gaming,        0.0f,  0.0f, -2.4f},
};
