// Cut-out edges as a distance ramp: alpha grows with the signed distance to the outline, so the
// show's alpha test (alpha > 0.82) on bilinearly filtered texels cuts exactly along the outline.
#pragma once
#include <vector>

// The alpha test's level in the show, and how much alpha changes per texel across the outline:
// small enough that the ramp stays unclamped for a texel on the inside, where bilinear filtering
// of the nearest texels reaches, so the filtered alpha is the distance ramp itself.
const float k_cut_level = 0.82f;
const float k_ramp_per_texel = 0.18f;

// Signed distance in pixels from each pixel centre to the outline of the mask (positive inside),
// taken as halfway between the centres of neighbouring inside and outside pixels.
std::vector<float> signed_distance(const std::vector<unsigned char>& inside, int width, int height);

// Alpha, 0..255, for a texel at signed distance d texels from the outline.
unsigned char ramp_alpha(float d);
