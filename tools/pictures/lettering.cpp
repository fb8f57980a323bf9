// Lettering and shapes drawn with cairo at twice the size, then reduced to hard-edged RGBA.
#include "tools/pictures/lettering.h"

#include <cstring>

cairo_t *begin_card(int width, int height)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * 2, height * 2);
    cairo_t *cr = cairo_create(s);
    cairo_surface_destroy(s); // the context keeps its own reference
    cairo_scale(cr, 2.0, 2.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    return cr;
}

static void select_font(cairo_t *cr, const letter_style &st)
{
    cairo_select_font_face(cr, st.family, CAIRO_FONT_SLANT_NORMAL,
                           st.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, st.size);
}

float lettering_width(cairo_t *cr, const char *text, const letter_style &st)
{
    select_font(cr, st);
    float w = 0.0f;
    size_t n = std::strlen(text);
    for (size_t i = 0; i < n; ++i) {
        char one[2] = {text[i], 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, one, &e);
        w += float(e.x_advance) + (i + 1 < n ? st.spacing : 0.0f);
    }
    return w;
}

// Letter by letter, so spacing can be opened up beyond the font's own.
static void lettering_path(cairo_t *cr, const char *text, float x, float y, const letter_style &st)
{
    select_font(cr, st);
    float pen = x;
    for (size_t i = 0; text[i]; ++i) {
        char one[2] = {text[i], 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, one, &e);
        cairo_move_to(cr, pen, y);
        cairo_text_path(cr, one);
        pen += float(e.x_advance) + st.spacing;
    }
}

static void set_rgb(cairo_t *cr, rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void paint_shape(cairo_t *cr, rgb top, rgb bottom, float y0, float y1, rgb outline, float outline_width, float shadow)
{
    cairo_path_t *path = cairo_copy_path(cr);
    cairo_new_path(cr);
    if (shadow > 0.0f) {
        cairo_save(cr);
        cairo_translate(cr, shadow, shadow);
        cairo_append_path(cr, path);
        set_rgb(cr, rgb{outline.r * 0.5f, outline.g * 0.5f, outline.b * 0.5f});
        cairo_set_line_width(cr, outline_width * 2.0f);
        cairo_stroke_preserve(cr);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_append_path(cr, path);
    set_rgb(cr, outline);
    cairo_set_line_width(cr, outline_width * 2.0f);
    cairo_stroke_preserve(cr);
    cairo_pattern_t *g = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(g, 0.0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1.0, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_path_destroy(path);
}

float draw_lettering(cairo_t *cr, const char *text, float x, float y, const letter_style &st)
{
    float w = lettering_width(cr, text, st);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    lettering_path(cr, text, x - w * 0.5f, y, st);
    // The gradient spans the capital height, so every letter shares one light.
    float cap = st.size * 0.72f;
    paint_shape(cr, st.top, st.bottom, y - cap, y, st.outline, st.outline_width, st.shadow);
    return w;
}

image8 end_card(cairo_t *cr)
{
    cairo_surface_t *s = cairo_get_target(cr);
    cairo_surface_flush(s);
    int w2 = cairo_image_surface_get_width(s), h2 = cairo_image_surface_get_height(s);
    int stride = cairo_image_surface_get_stride(s);
    const unsigned char *data = cairo_image_surface_get_data(s);
    image8 img = make_image(w2 / 2, h2 / 2, 4);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            unsigned sum_a = 0, sum_r = 0, sum_g = 0, sum_b = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    uint32_t p = *reinterpret_cast<const uint32_t *>(data + size_t(y * 2 + dy) * stride + (x * 2 + dx) * 4);
                    sum_a += p >> 24;
                    sum_r += (p >> 16) & 255;
                    sum_g += (p >> 8) & 255;
                    sum_b += p & 255;
                }
            unsigned char *o = &img.pixels[(size_t(y) * img.width + x) * 4];
            if (sum_a * 2 >= 4 * 255) {
                // Premultiplied sums over the covered part give the colour as it would show.
                o[0] = (unsigned char)(sum_r * 255 / sum_a);
                o[1] = (unsigned char)(sum_g * 255 / sum_a);
                o[2] = (unsigned char)(sum_b * 255 / sum_a);
                o[3] = 255;
            }
        }
    cairo_destroy(cr);
    return img;
}
