// The title strips and billboards as data: their shapes and lettering, drawn in table order.
#include "tools/pictures/lettering.h"

#include "assets/picture_files.h"


enum shape_kind { shape_bar, shape_banner, shape_diamond, shape_bracket, shape_sparkle };

struct card_shape {
    const char* card;
    shape_kind kind;
    float x, y, w, h;  // centre and size; a bracket's w and h give the direction of its arms
    rgb top, bottom, outline;
    float outline_width, shadow;
};

struct card_text {
    const char* card;
    const char* text;
    int style;
    float x, y;  // centre of the baseline
};

static const rgb k_navy = {0.05f, 0.06f, 0.17f};
static const rgb k_wine = {0.16f, 0.02f, 0.08f};

static const letter_style g_styles[] = {
    // 0: the group's name on white
    {"Bebas Neue", true, 124.0f, 16.0f, {0.25f, 0.70f, 1.0f}, {0.05f, 0.14f, 0.55f}, k_navy, 4.0f, 5.0f},
    // 1: "presents" on white
    {"Comfortaa", true, 80.0f, 4.0f, {1.0f, 0.50f, 0.70f}, {0.72f, 0.04f, 0.36f}, k_wine, 4.0f, 4.0f},
    // 2: the show's title on its banner
    {"Bebas Neue", true, 172.0f, 12.0f, {1.0f, 0.96f, 0.62f}, {0.96f, 0.50f, 0.08f}, k_navy, 6.0f, 0.0f},
    // 3: small lettering on white
    {"Comfortaa", true, 40.0f, 3.0f, {0.15f, 0.45f, 0.80f}, {0.05f, 0.16f, 0.45f}, k_navy, 2.5f, 0.0f},
    // 4: small rose lettering on white
    {"Comfortaa", true, 46.0f, 3.0f, {1.0f, 0.45f, 0.65f}, {0.70f, 0.05f, 0.35f}, k_wine, 3.0f, 3.0f},
    // 5: small light lettering over the galaxy
    {"Comfortaa", true, 46.0f, 3.0f, {1.0f, 1.0f, 1.0f}, {0.70f, 0.82f, 1.0f}, k_navy, 4.0f, 4.0f},
    // 6: a rose name over the galaxy
    {"Bebas Neue", true, 180.0f, 14.0f, {1.0f, 0.80f, 0.88f}, {0.90f, 0.18f, 0.48f}, k_wine, 6.0f, 6.0f},
    // 7: a teal name over the galaxy
    {"Bebas Neue", true, 190.0f, 18.0f, {0.75f, 1.0f, 0.98f}, {0.05f, 0.60f, 0.75f}, k_navy, 6.0f, 6.0f},
    // 8: credit label, gold
    {"Comfortaa", true, 60.0f, 3.0f, {1.0f, 0.95f, 0.60f}, {0.95f, 0.55f, 0.10f}, k_navy, 4.0f, 4.0f},
    // 9: credit name, ice
    {"Bebas Neue", true, 230.0f, 16.0f, {1.0f, 1.0f, 1.0f}, {0.55f, 0.75f, 1.0f}, k_navy, 7.0f, 7.0f},
    // 10: credit label, teal
    {"Comfortaa", true, 60.0f, 3.0f, {0.75f, 1.0f, 0.98f}, {0.10f, 0.65f, 0.80f}, k_navy, 4.0f, 4.0f},
    // 11: credit name, rose
    {"Bebas Neue", true, 230.0f, 16.0f, {1.0f, 0.82f, 0.90f}, {0.90f, 0.18f, 0.48f}, k_wine, 7.0f, 7.0f},
    // 12: credit name, gold
    {"Bebas Neue", true, 230.0f, 22.0f, {1.0f, 0.96f, 0.62f}, {0.96f, 0.50f, 0.08f}, k_navy, 7.0f, 7.0f},
    // 13: the closing headline, gold
    {"Bebas Neue", true, 96.0f, 7.0f, {1.0f, 0.96f, 0.62f}, {0.96f, 0.50f, 0.08f}, k_navy, 5.0f, 5.0f},
    // 14: closing small print, teal
    {"Comfortaa", true, 32.0f, 2.0f, {0.75f, 1.0f, 0.98f}, {0.10f, 0.65f, 0.80f}, k_navy, 3.5f, 3.0f},
    // 15: closing greetings, light
    {"Comfortaa", true, 38.0f, 2.0f, {1.0f, 1.0f, 1.0f}, {0.75f, 0.85f, 1.0f}, k_navy, 3.5f, 3.0f},
};

static const rgb k_rose_top = {1.0f, 0.55f, 0.75f}, k_rose_bottom = {0.75f, 0.05f, 0.38f};
static const rgb k_teal_top = {0.70f, 1.0f, 0.98f}, k_teal_bottom = {0.05f, 0.55f, 0.75f};
static const rgb k_gold_top = {1.0f, 0.95f, 0.6f}, k_gold_bottom = {0.95f, 0.5f, 0.08f};
static const rgb k_deep_top = {0.14f, 0.18f, 0.42f}, k_deep_bottom = {0.03f, 0.04f, 0.14f};

static const card_shape g_shapes[] = {
    {"Dimbrane.png", shape_bar, 150.0f, 64.0f, 230.0f, 16.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 4.0f},
    {"Dimbrane.png", shape_bar, 874.0f, 64.0f, -230.0f, 16.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 4.0f},
    {"Presents.png", shape_diamond, 280.0f, 62.0f, 30.0f, 30.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Presents.png", shape_diamond, 234.0f, 62.0f, 22.0f, 22.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Presents.png", shape_diamond, 198.0f, 62.0f, 14.0f, 14.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Presents.png", shape_diamond, 744.0f, 62.0f, 30.0f, 30.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Presents.png", shape_diamond, 790.0f, 62.0f, 22.0f, 22.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Presents.png", shape_diamond, 826.0f, 62.0f, 14.0f, 14.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Flanokk.png", shape_banner, 512.0f, 240.0f, 660.0f, 190.0f, k_deep_top, k_deep_bottom, k_navy, 4.0f, 8.0f},
    {"Flanokk.png", shape_bar, 240.0f, 386.0f, 110.0f, 10.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 0.0f},
    {"Flanokk.png", shape_bar, 784.0f, 386.0f, -110.0f, 10.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 0.0f},
    {"Rosamelt.png", shape_bar, 230.0f, 66.0f, 130.0f, 10.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Rosamelt.png", shape_bar, 794.0f, 66.0f, -130.0f, 10.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Zorq1.png", shape_diamond, 290.0f, 400.0f, 44.0f, 44.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 4.0f},
    {"Zorq1.png", shape_diamond, 734.0f, 400.0f, 44.0f, 44.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 4.0f},
    {"VexilCredits.png", shape_bar, 512.0f, 300.0f, 0.0f, 12.0f, k_gold_top, k_gold_bottom, k_navy, 3.0f, 4.0f},
    {"GFXCredit.png", shape_bar, 512.0f, 300.0f, 0.0f, 12.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 4.0f},
    {"MusicCredits.png", shape_bar, 512.0f, 200.0f, 0.0f, 12.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 4.0f},
    {"Gaming.png", shape_bracket, 34.0f, 34.0f, 1.0f, 1.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 4.0f},
    {"Gaming.png", shape_bracket, 990.0f, 34.0f, -1.0f, 1.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 4.0f},
    {"Gaming.png", shape_bracket, 34.0f, 478.0f, 1.0f, -1.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 4.0f},
    {"Gaming.png", shape_bracket, 990.0f, 478.0f, -1.0f, -1.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 4.0f},
    {"Gaming.png", shape_diamond, 512.0f, 372.0f, 24.0f, 24.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 3.0f},
    {"Gaming.png", shape_diamond, 470.0f, 372.0f, 14.0f, 14.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Gaming.png", shape_diamond, 554.0f, 372.0f, 14.0f, 14.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Gaming.png", shape_sparkle, 120.0f, 200.0f, 40.0f, 40.0f, k_gold_top, k_gold_bottom, k_navy, 3.0f, 3.0f},
    {"Gaming.png", shape_sparkle, 904.0f, 300.0f, 52.0f, 52.0f, k_gold_top, k_gold_bottom, k_navy, 3.0f, 3.0f},
    {"Gaming.png", shape_sparkle, 160.0f, 330.0f, 24.0f, 24.0f, k_teal_top, k_teal_bottom, k_navy, 3.0f, 3.0f},
    {"Gaming.png", shape_sparkle, 860.0f, 190.0f, 26.0f, 26.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 3.0f},
    {"Flanokk.png", shape_sparkle, 830.0f, 150.0f, 56.0f, 56.0f, k_gold_top, k_gold_bottom, k_navy, 3.0f, 4.0f},
    {"Flanokk.png", shape_sparkle, 196.0f, 330.0f, 34.0f, 34.0f, k_rose_top, k_rose_bottom, k_wine, 3.0f, 3.0f},
};

static const card_text g_texts[] = {
    {"Dimbrane.png", "DIMBRANE", 0, 512.0f, 106.0f},
    {"Presents.png", "presents", 1, 512.0f, 82.0f},
    {"Flanokk.png", "dimbrane presents", 3, 512.0f, 120.0f},
    {"Flanokk.png", "VELLAMOR", 2, 512.0f, 305.0f},
    {"Flanokk.png", "ostravelle 2008", 4, 512.0f, 400.0f},
    {"Rosamelt.png", "greetings to", 5, 512.0f, 80.0f},
    {"Rosamelt.png", "ROSAMELT", 6, 512.0f, 240.0f},
    {"Zorq1.png", "respect to", 5, 512.0f, 300.0f},
    {"Zorq1.png", "ZORQ", 7, 512.0f, 468.0f},
    {"VexilCredits.png", "code", 8, 512.0f, 80.0f},
    {"VexilCredits.png", "VEXIL", 9, 512.0f, 272.0f},
    {"GFXCredit.png", "graphics", 10, 512.0f, 80.0f},
    {"GFXCredit.png", "KESTREL", 11, 512.0f, 272.0f},
    {"MusicCredits.png", "music", 8, 512.0f, 178.0f},
    {"MusicCredits.png", "ZYK", 12, 512.0f, 408.0f},
    {"MusicCredits.png", "\"morrelvisa\"", 15, 512.0f, 475.0f},
    {"Gaming.png", "THANKS FOR WATCHING", 13, 512.0f, 118.0f},
    {"Gaming.png", "greetings to rosamelt - zorq - flanokk", 15, 512.0f, 425.0f},
    {"Gaming.png", "vellamor by dimbrane - ostravelle 2008", 14, 512.0f, 470.0f},
};

static void shape_path(cairo_t* cr, const card_shape& s)
{
    switch (s.kind) {
    case shape_bar: {
        // A bar pointed at its outer end; width 0 means a centred bar pointed at both ends.
        float half = s.h * 0.5f;
        if (s.w == 0.0f) {
            cairo_move_to(cr, s.x - 300.0f, s.y);
            cairo_line_to(cr, s.x - 260.0f, s.y - half);
            cairo_line_to(cr, s.x + 260.0f, s.y - half);
            cairo_line_to(cr, s.x + 300.0f, s.y);
            cairo_line_to(cr, s.x + 260.0f, s.y + half);
            cairo_line_to(cr, s.x - 260.0f, s.y + half);
        } else {
            float outer = s.x - s.w * 0.5f, inner = s.x + s.w * 0.5f;
            cairo_move_to(cr, outer, s.y);
            cairo_line_to(cr, inner, s.y - half);
            cairo_line_to(cr, inner, s.y + half);
        }
        cairo_close_path(cr);
        break;
    }
    case shape_banner: {
        float slant = s.h * 0.25f;
        cairo_move_to(cr, s.x - s.w * 0.5f + slant, s.y - s.h * 0.5f);
        cairo_line_to(cr, s.x + s.w * 0.5f + slant, s.y - s.h * 0.5f);
        cairo_line_to(cr, s.x + s.w * 0.5f - slant, s.y + s.h * 0.5f);
        cairo_line_to(cr, s.x - s.w * 0.5f - slant, s.y + s.h * 0.5f);
        cairo_close_path(cr);
        break;
    }
    case shape_diamond:
        cairo_move_to(cr, s.x, s.y - s.h * 0.5f);
        cairo_line_to(cr, s.x + s.w * 0.5f, s.y);
        cairo_line_to(cr, s.x, s.y + s.h * 0.5f);
        cairo_line_to(cr, s.x - s.w * 0.5f, s.y);
        cairo_close_path(cr);
        break;
    case shape_sparkle: {
        // A four-pointed star with curved sides.
        float rx = s.w * 0.5f, ry = s.h * 0.5f, k = 0.18f;
        cairo_move_to(cr, s.x, s.y - ry);
        cairo_curve_to(cr, s.x + rx * k, s.y - ry * k, s.x + rx * k, s.y - ry * k, s.x + rx, s.y);
        cairo_curve_to(cr, s.x + rx * k, s.y + ry * k, s.x + rx * k, s.y + ry * k, s.x, s.y + ry);
        cairo_curve_to(cr, s.x - rx * k, s.y + ry * k, s.x - rx * k, s.y + ry * k, s.x - rx, s.y);
        cairo_curve_to(cr, s.x - rx * k, s.y - ry * k, s.x - rx * k, s.y - ry * k, s.x, s.y - ry);
        cairo_close_path(cr);
        break;
    }
    case shape_bracket: {
        // An L in a corner: arms 110 long and 16 thick, pointing along w and h.
        const float arm = 110.0f, t = 16.0f;
        cairo_move_to(cr, s.x, s.y);
        cairo_line_to(cr, s.x + s.w * arm, s.y);
        cairo_line_to(cr, s.x + s.w * (arm - t), s.y + s.h * t);
        cairo_line_to(cr, s.x + s.w * t, s.y + s.h * t);
        cairo_line_to(cr, s.x + s.w * t, s.y + s.h * (arm - t));
        cairo_line_to(cr, s.x, s.y + s.h * arm);
        cairo_close_path(cr);
        break;
    }
    }
}

bool is_card_name(const std::string& name)
{
    const picture_file* p = find_picture_file(name.c_str());
    return p && is_cut_out(p->role);
}

image8 render_card(const std::string& name)
{
    if (!is_card_name(name)) return image8{};
    const picture_file* size = find_picture_file(name.c_str());
    cairo_t* cr = begin_card(size->width, size->height);
    for (const card_shape& s : g_shapes) {
        if (name != s.card) continue;
        shape_path(cr, s);
        double x0, y0, x1, y1;
        cairo_path_extents(cr, &x0, &y0, &x1, &y1);
        paint_shape(cr, s.top, s.bottom, float(y0), float(y1), s.outline, s.outline_width, s.shadow);
    }
    for (const card_text& t : g_texts)
        if (name == t.card) draw_lettering(cr, t.text, t.x, t.y, g_styles[t.style]);
    return end_card(cr);
}
