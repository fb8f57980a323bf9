// The window table: the show's score, one time window per row, tested and drawn in this order.
#include "show/window_table.h"

#include <cmath>

#include "assets/texture_bank.h"
#include "show/show_times.h"

const double k_no_lower_bound = -HUGE_VAL;

// The bounds are the show's times; the last, the show's end, is the single-precision 83.0.
// clang-format off
const show_window g_window_table[k_window_count] = {
    // from                  until                   scene                    texture                 x      y      z
    {k_no_lower_bound,       k_title_strips_until,   scene_title_strips,      &g_tex_dimbrane,      0.0f,  0.0f, -1.4f},
    {k_title_card_at,        k_title_card_slides_at, scene_billboard,         &g_tex_flanokk,       0.0f,  0.1f, -1.4f},
    {k_title_card_slides_at, k_first_slide_at,       scene_sliding_billboard, &g_tex_flanokk,       0.0f,  0.1f, -1.4f},
    {k_slide_at[0],          k_slide_at[1],          scene_picture,           &g_tex_bilde01,       0.0f,  0.0f, -1.8f},
    {k_slide_at[1],          k_slide_at[2],          scene_picture,           &g_tex_bilde02,       0.0f,  0.0f, -1.8f},
    {k_slide_at[2],          k_slide_at[3],          scene_picture,           &g_tex_bilde03,       0.0f,  0.0f, -1.8f},
    {k_slide_at[3],          k_slide_at[4],          scene_picture,           &g_tex_bilde04,       0.0f,  0.0f, -1.8f},
    {k_slide_at[4],          k_slide_at[5],          scene_picture,           &g_tex_bilde05,       0.0f,  0.0f, -1.8f},
    {k_slide_at[5],          k_slide_at[6],          scene_picture,           &g_tex_bilde06,       0.0f,  0.0f, -1.8f},
    {k_slide_at[6],          k_slide_at[7],          scene_picture,           &g_tex_bilde07,       0.0f,  0.0f, -1.8f},
    {k_slide_at[7],          k_slide_at[8],          scene_picture,           &g_tex_bilde08,       0.0f,  0.0f, -1.8f},
    {k_slide_at[8],          k_slide_at[9],          scene_picture,           &g_tex_bilde09,       0.0f,  0.0f, -1.8f},
    {k_slide_at[9],          k_slide_at[10],         scene_picture,           &g_tex_bilde10,       0.0f,  0.0f, -1.8f},
    {k_slide_at[10],         k_slide_at[11],         scene_picture,           &g_tex_bilde11,       0.0f,  0.0f, -1.8f},
    {k_slide_at[11],         k_slide_at[12],         scene_picture,           &g_tex_bilde12,       0.0f,  0.0f, -1.8f},
    {k_slide_at[12],         k_slide_at[13],         scene_picture,           &g_tex_bilde13,       0.0f,  0.0f, -1.8f},
    {k_slide_at[13],         k_slide_at[14],         scene_picture,           &g_tex_bilde14,       0.0f,  0.0f, -1.8f},
    {k_slide_at[14],         k_slide_at[15],         scene_picture,           &g_tex_bilde15,       0.0f,  0.0f, -1.8f},
    {k_slide_at[15],         k_slide_at[16],         scene_picture,           &g_tex_bilde16,       0.0f,  0.0f, -1.8f},
    {k_slide_at[16],         k_slide_at[17],         scene_picture,           &g_tex_bilde17,       0.0f,  0.0f, -1.8f},
    {k_slide_at[17],         k_slide_at[18],         scene_picture,           &g_tex_bilde01,       0.0f,  0.0f, -1.8f},
    {k_slide_at[18],         k_slide_at[19],         scene_picture,           &g_tex_bilde01,       0.0f,  0.0f, -1.8f},
    {k_model_scene_at,       k_show_end,             scene_model,             &g_tex_univers,       0.0f,  0.0f,  0.0f},
    {k_card_at[0],           k_card_at[1],           scene_model_billboard,   &g_tex_rosamelt,      0.0f,  0.1f, -1.4f},
    {k_card_at[1],           k_card_at[2],           scene_model_billboard,   &g_tex_zorq1,         0.0f,  0.1f, -1.4f},
    {k_card_at[2],           k_card_at[3],           scene_model_billboard,   &g_tex_vexil_credits, 0.0f,  0.2f, -2.4f},
    {k_card_at[3],           k_card_at[4],           scene_model_billboard,   &g_tex_gfx_credit,    0.0f,  0.2f, -2.4f},
    {k_card_at[4],           k_card_at[5],           scene_model_billboard,   &g_tex_music_credits, 0.0f, -0.2f, -2.4f},
    {k_card_at[5],           k_show_end,             scene_model_billboard,   &g_tex_gaming,        0.0f,  0.0f, -2.4f},
};
// clang-format on
