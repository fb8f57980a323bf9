// Card edges: the distance ramp puts the show's alpha cut on the drawn outline, to a fraction of a
// texel under bilinear filtering, with the shape's colour reaching past it.
#include "tools/pictures/edge_ramp.h"
#include "tools/pictures/lettering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

// Alpha (0..1) as OpenGL's bilinear filter gives it at point (x, y) of the card, in texels with
// texel centres at half-integers, clamped at the borders.
static float filtered_alpha(const image8& img, float x, float y)
{
    float u = x - 0.5f, v = y - 0.5f;
    int i = int(std::floor(u)), j = int(std::floor(v));
    float fu = u - i, fv = v - j;
    auto at = [&](int a, int b) {
        a = a < 0 ? 0 : (a >= img.width ? img.width - 1 : a);
        b = b < 0 ? 0 : (b >= img.height ? img.height - 1 : b);
        return img.pixels[(size_t(b) * img.width + a) * 4 + 3] / 255.0f;
    };
    return (at(i, j) * (1 - fu) + at(i + 1, j) * fu) * (1 - fv) +
        (at(i, j + 1) * (1 - fu) + at(i + 1, j + 1) * fu) * fv;
}

// Walks from a point inside along a direction and returns the distance at which the filtered
// alpha first drops to the cut level (alpha test GL_GREATER 0.82), to 1/200 texel.
static float cut_distance(const image8& img, float x, float y, float dx, float dy)
{
    float t = 0.0f;
    while (t < 40.0f && filtered_alpha(img, x + dx * t, y + dy * t) > k_cut_level) t += 0.005f;
    return t;
}

TEST(card_edges, the_cut_falls_on_the_outline_of_a_disc_and_a_slanted_edge_within_a_sixth_of_a_texel)
{
    // a disc of radius 11.3 centred off the texel grid, and a quad with edges at odd slants
    const float cx = 20.37f, cy = 18.71f, radius = 11.3f;
    cairo_t* cr = begin_card(96, 40);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.9, 0.3, 0.1);
    cairo_fill(cr);
    cairo_move_to(cr, 50.2, 6.4);
    cairo_line_to(cr, 88.9, 9.7);
    cairo_line_to(cr, 84.3, 33.1);
    cairo_line_to(cr, 55.6, 30.2);
    cairo_close_path(cr);
    cairo_fill(cr);
    image8 img = end_card(cr);
    ASSERT_EQ(img.width, 96);
    ASSERT_EQ(img.channels, 4);

    float worst = 0.0f;
    for (int k = 0; k < 64; ++k) {
        float a = 2.0f * float(M_PI) * (k + 0.37f) / 64.0f;
        float err = cut_distance(img, cx, cy, std::cos(a), std::sin(a)) - radius;
        worst = std::fmax(worst, std::fabs(err));
    }
    EXPECT_LT(worst, 0.15f) << "the cut strays from the disc's outline";

    // the top edge from (50.2, 6.4) to (88.9, 9.7): walk up from inside, perpendicular to it
    float ex = 88.9f - 50.2f, ey = 9.7f - 6.4f, len = std::sqrt(ex * ex + ey * ey);
    float nx = ey / len, ny = -ex / len;  // outward (up)
    worst = 0.0f;
    for (int k = 1; k < 20; ++k) {
        float s = 0.25f + 0.5f * k / 20.0f;
        float px = 50.2f + ex * s + nx * -6.0f, py = 6.4f + ey * s + ny * -6.0f;
        worst = std::fmax(worst, std::fabs(cut_distance(img, px, py, nx, ny) - 6.0f));
    }
    EXPECT_LT(worst, 0.15f) << "the cut strays from the slanted edge";
}

TEST(card_edges, alpha_ramps_over_texels_and_the_colour_reaches_past_the_outline)
{
    cairo_t* cr = begin_card(40, 24);
    cairo_rectangle(cr, 10.3, 6.6, 19.4, 11.0);
    cairo_set_source_rgb(cr, 1.0, 0.5, 0.0);
    cairo_fill(cr);
    image8 img = end_card(cr);
    int between = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const unsigned char* p = &img.pixels[(size_t(y) * img.width + x) * 4];
            if (p[3] > 0 && p[3] < 255) ++between;
            // every texel the filter can mix into a visible one carries the shape's colour, not black
            if (p[3] > 0) {
                EXPECT_EQ(p[0], 255) << x << "," << y;
                EXPECT_NEAR(p[1], 128, 2) << x << "," << y;
            }
            // neighbours differ by at most one texel's worth of ramp (plus rounding)
            if (x + 1 < img.width) {
                EXPECT_LE(std::abs(p[3] - p[7]), int(k_ramp_per_texel * 255) + 4) << x << "," << y;
            }
        }
    EXPECT_GT(between, 2 * (19 + 11) * 3) << "no ramp: the edge is hard";
    // far from the shape nothing is left
    EXPECT_EQ(img.pixels[3], 0);
}

TEST(card_edges, signed_distance_matches_a_brute_force_search)
{
    const int w = 37, h = 23;
    std::mt19937 rng(5);
    std::vector<unsigned char> mask(w * h);
    for (auto& m : mask) m = rng() % 5 == 0;  // scattered pixels, and a solid block
    for (int y = 5; y < 15; ++y)
        for (int x = 8; x < 25; ++x) mask[y * w + x] = 1;
    std::vector<float> sd = signed_distance(mask, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float best = 1e9f;
            for (int v = 0; v < h; ++v)
                for (int u = 0; u < w; ++u)
                    if (mask[v * w + u] != mask[y * w + x])
                        best = std::fmin(best, std::sqrt(float((u - x) * (u - x) + (v - y) * (v - y))));
            float expect = mask[y * w + x] ? best - 0.5f : 0.5f - best;
            ASSERT_NEAR(sd[y * w + x], expect, 1e-4f) << x << "," << y;
        }
}
