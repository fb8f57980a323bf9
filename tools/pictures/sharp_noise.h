// How grainy a slide looks where it is seen: the mean absolute 4-neighbour Laplacian of its luminance.
#pragma once

// Rows the screen shows of a square slide: the middle 74.6 % of its height.
void seen_rows(int height, int* first, int* end);

// Mean of |4 L(x,y) - L(x-1,y) - L(x+1,y) - L(x,y-1) - L(x,y+1)| with L the luminance on a 0..255
// scale, over the pixels of rows [first, end) whose four neighbours lie in the image.
// pixels: rows top to bottom, `channels` bytes per pixel, red, green, blue first.
double sharp_noise(const unsigned char* pixels, int width, int height, int channels, int first, int end);
