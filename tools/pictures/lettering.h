// Lettering and shapes for the title strips and billboards, drawn with cairo at twice the size.
#pragma once
#include <cairo.h>

#include "tools/pictures/pictures.h"

struct rgb {
    float r, g, b;
};

// How one piece of lettering looks: a vertical gradient fill, a dark outline and a drop shadow.
struct letter_style {
    const char *family;
    bool bold;
    float size;          // em size in output pixels
    float spacing;       // extra space between letters, output pixels
    rgb top, bottom;     // fill gradient
    rgb outline;
    float outline_width; // output pixels, on each side of the glyph edge
    float shadow;        // offset of the shadow down and right, output pixels (0: none)
};

// A drawing surface twice the output size; draw in output pixel units.
cairo_t *begin_card(int width, int height);

// Lettering centred on x with its baseline at y; returns its width.
float draw_lettering(cairo_t *cr, const char *text, float x, float y, const letter_style &st);
float lettering_width(cairo_t *cr, const char *text, const letter_style &st);

// A closed path of the current cairo path filled with a gradient, outlined and shadowed like lettering.
void paint_shape(cairo_t *cr, rgb top, rgb bottom, float y0, float y1, rgb outline, float outline_width, float shadow);

// Down to output size with hard alpha: a pixel is opaque when at least half of it was covered.
// Hidden pixels are black (a PNG keeps no colour under alpha 0), so every shape has a dark outline.
image8 end_card(cairo_t *cr);
