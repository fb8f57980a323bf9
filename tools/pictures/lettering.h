// Lettering and shapes for the title strips and billboards, drawn with cairo at four times the size.
#pragma once
#include <cairo.h>

#include "tools/pictures/pictures.h"

struct rgb {
    float r, g, b;
};

// How one piece of lettering looks: a vertical gradient fill, a dark outline and a drop shadow.
struct letter_style {
    const char* family;
    bool bold;
    float size;       // em size in output pixels
    float spacing;    // extra space between letters, output pixels
    rgb top, bottom;  // fill gradient
    rgb outline;
    float outline_width;  // output pixels, on each side of the glyph edge
    float shadow;         // offset of the shadow down and right, output pixels (0: none)
};

// Cards are drawn at this many times their size, to find the outline to a fraction of a texel.
const int k_card_supersample = 4;

// A drawing surface k_card_supersample times the output size; draw in output pixel units.
cairo_t* begin_card(int width, int height);

// Lettering centred on x with its baseline at y; returns its width.
float draw_lettering(cairo_t* cr, const char* text, float x, float y, const letter_style& st);
float lettering_width(cairo_t* cr, const char* text, const letter_style& st);

// A closed path of the current cairo path filled with a gradient, outlined and shadowed like lettering.
void paint_shape(cairo_t* cr, rgb top, rgb bottom, float y0, float y1, rgb outline, float outline_width, float shadow);

// Down to output size. The shape is everything drawn (fill, outline, shadow); alpha is a ramp of
// the signed distance to its outline that crosses the show's cut level 0.82 exactly on it (see
// edge_ramp.h), and the colour of the shape's edge reaches a few texels past it.
image8 end_card(cairo_t* cr);
