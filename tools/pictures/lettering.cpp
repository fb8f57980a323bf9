// Lettering and shapes drawn with cairo at four times the size, then reduced to RGBA with a distance-ramp alpha.
#include "tools/pictures/lettering.h"

#include "tools/pictures/edge_ramp.h"

#include <cstring>

cairo_t* begin_card(int width, int height)
{
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * k_card_supersample, height * k_card_supersample);
    cairo_t* cr = cairo_create(s);
    cairo_surface_destroy(s);  // the context keeps its own reference
    cairo_scale(cr, k_card_supersample, k_card_supersample);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    return cr;
}

static void select_font(cairo_t* cr, const letter_style& st)
{
    cairo_select_font_face(cr, st.family, CAIRO_FONT_SLANT_NORMAL,
                           st.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, st.size);
}

float lettering_width(cairo_t* cr, const char* text, const letter_style& st)
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
static void lettering_path(cairo_t* cr, const char* text, float x, float y, const letter_style& st)
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

static void set_rgb(cairo_t* cr, rgb c)
{
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void paint_shape(cairo_t* cr, rgb top, rgb bottom, float y0, float y1, rgb outline, float outline_width, float shadow)
{
    cairo_path_t* path = cairo_copy_path(cr);
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
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(g, 0.0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 1.0, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_path_destroy(path);
}

float draw_lettering(cairo_t* cr, const char* text, float x, float y, const letter_style& st)
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

// How many texels around a shape carry its colour: the whole ramp, which reaches zero alpha
// (0.82 / 0.18 =) 4.6 texels outside the outline.
static const int k_colour_reach = 6;

image8 end_card(cairo_t* cr)
{
    const int ss = k_card_supersample;
    cairo_surface_t* s = cairo_get_target(cr);
    cairo_surface_flush(s);
    int ws = cairo_image_surface_get_width(s), hs = cairo_image_surface_get_height(s);
    int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    auto pixel = [&](int x, int y) {
        return *reinterpret_cast<const uint32_t*>(data + size_t(y) * stride + size_t(x) * 4);
    };

    // the shape: every drawn pixel at least half covered (fill, outline and shadow alike)
    std::vector<unsigned char> inside(size_t(ws) * hs);
    for (int y = 0; y < hs; ++y)
        for (int x = 0; x < ws; ++x) inside[size_t(y) * ws + x] = (pixel(x, y) >> 24) >= 128;
    std::vector<float> sd = signed_distance(inside, ws, hs);

    image8 img = make_image(ws / ss, hs / ss, 4);
    std::vector<unsigned char> coloured(size_t(img.width) * img.height, 0);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            unsigned sum_a = 0, sum_r = 0, sum_g = 0, sum_b = 0;
            for (int dy = 0; dy < ss; ++dy)
                for (int dx = 0; dx < ss; ++dx) {
                    uint32_t p = pixel(x * ss + dx, y * ss + dy);
                    sum_a += p >> 24;
                    sum_r += (p >> 16) & 255;
                    sum_g += (p >> 8) & 255;
                    sum_b += p & 255;
                }
            unsigned char* o = &img.pixels[(size_t(y) * img.width + x) * 4];
            if (sum_a > 0) {
                // premultiplied sums over the covered part give the colour as it would show
                o[0] = (unsigned char)(sum_r * 255 / sum_a);
                o[1] = (unsigned char)(sum_g * 255 / sum_a);
                o[2] = (unsigned char)(sum_b * 255 / sum_a);
                coloured[size_t(y) * img.width + x] = 1;
            }
            // the texel's centre lies between the middle four supersamples
            float d = 0.0f;
            for (int dy = ss / 2 - 1; dy <= ss / 2; ++dy)
                for (int dx = ss / 2 - 1; dx <= ss / 2; ++dx) d += sd[size_t(y * ss + dy) * ws + x * ss + dx];
            o[3] = ramp_alpha(d / 4.0f / ss);
        }

    // the colour reaches past the outline, so filtering next to it never mixes in black
    for (int pass = 0; pass < k_colour_reach; ++pass) {
        std::vector<unsigned char> next = coloured;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                if (coloured[size_t(y) * img.width + x]) continue;
                unsigned n = 0, r = 0, g = 0, b = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i) {
                        int u = x + i, v = y + j;
                        if (u < 0 || v < 0 || u >= img.width || v >= img.height ||
                            !coloured[size_t(v) * img.width + u])
                            continue;
                        const unsigned char* q = &img.pixels[(size_t(v) * img.width + u) * 4];
                        r += q[0], g += q[1], b += q[2], ++n;
                    }
                if (!n) continue;
                unsigned char* o = &img.pixels[(size_t(y) * img.width + x) * 4];
                o[0] = (unsigned char)(r / n), o[1] = (unsigned char)(g / n), o[2] = (unsigned char)(b / n);
                next[size_t(y) * img.width + x] = 1;
            }
        coloured.swap(next);
    }
    cairo_destroy(cr);
    return img;
}
