// Every kind of picture file comes out of the bank upright, and keeps its alpha for the cut-outs.
#include <gtest/gtest.h>

#include <string>

#include "assets/texture_bank.h"
#include "tests/support/gl_window.h"
#include "tests/textures/bank_fixture.h"
#include "tests/textures/test_images.h"

static const rgba k_red = {220, 30, 30, 255};
static const rgba k_green = {30, 200, 40, 255};
static const rgba k_blue = {30, 40, 220, 255};
static const rgba k_yellow = {230, 220, 30, 255};

// gray levels far enough apart to tell the corners apart after filtering
static const rgba k_gray_20 = {20, 20, 20, 255};
static const rgba k_gray_90 = {90, 90, 90, 255};
static const rgba k_gray_160 = {160, 160, 160, 255};
static const rgba k_gray_230 = {230, 230, 230, 255};

enum file_kind { rgba_png, gray_png, palette_png, progressive_jpeg };

static bool write_test_image(file_kind kind, const std::string& path, const rgba_image& image)
{
    switch (kind) {
    case rgba_png:
        return write_png_rgba(path, image);
    case gray_png:
        return write_png_gray(path, image);
    case palette_png:
        return write_png_palette(path, image);
    case progressive_jpeg:
        return write_jpeg_progressive(path, image);
    }
    return false;
}

struct upright_case {
    const char* what;
    const char* bank_path;  // the slot the test image is loaded into
    GLuint* slot;
    file_kind kind;
    int width, height;  // odd sizes too: the loader may have to rescale them
    rgba upper_left, upper_right, lower_left, lower_right;
};

static const upright_case k_cases[] = {
    {"RGBA PNG", "data/Rosamelt.png", &g_tex_rosamelt, rgba_png, 128, 64, k_red, k_green, k_blue, k_yellow},
    {"grayscale PNG", "data/Univers.png", &g_tex_univers, gray_png, 64, 64, k_gray_20, k_gray_90, k_gray_160,
     k_gray_230},
    {"palette PNG", "data/Zorq1.png", &g_tex_zorq1, palette_png, 80, 60, k_yellow, k_blue, k_green, k_red},
    {"progressive JPEG", "data/Bilde05.jpg", &g_tex_bilde05, progressive_jpeg, 96, 96, k_blue, k_red, k_yellow, k_green},
};

static rgb as_rgb(rgba c)
{
    return rgb{c.r, c.g, c.b};
}

// The bank loaded in a scratch folder that holds one test image; every other slot stays empty.
struct scratch_bank {
    std::string root;
    std::string previous_folder;
    bool written;
};

static scratch_bank load_scratch_bank(file_kind kind, const char* bank_path, const rgba_image& image)
{
    scratch_bank bank;
    bank.root = make_scratch_root();
    bank.written = write_test_image(kind, bank.root + "/" + bank_path, image);
    bank.previous_folder = enter_folder(bank.root);
    load_textures();
    return bank;
}

static void release_scratch_bank(const scratch_bank& bank)
{
    free_textures();
    enter_folder(bank.previous_folder);
    remove_scratch_root(bank.root);
}

static void expect_corners(const upright_case& c, float depth)
{
    SCOPED_TRACE(std::string(c.what) + " at depth " + std::to_string(depth));
    draw_placed_quad(*c.slot, 1.0f, depth, 0, 0, 0);
    // the middle of each quadrant of the quad, as the viewer sees it
    struct probe {
        const char* corner;
        float x, y;
        rgba expected;
    } probes[] = {
        {"upper left", -0.5f, 0.5f, c.upper_left},
        {"upper right", 0.5f, 0.5f, c.upper_right},
        {"lower left", -0.5f, -0.5f, c.lower_left},
        {"lower right", 0.5f, -0.5f, c.lower_right},
    };
    for (const probe& p : probes) {
        screen_point s = project(p.x, p.y, depth);
        rgb seen = screen_colour(s.x, s.y);
        EXPECT_TRUE(near_colour(seen, as_rgb(p.expected)))
            << p.corner << " at (" << s.x << ", " << s.y << ") is " << seen.r << "," << seen.g << "," << seen.b
            << ", expected " << int(p.expected.r) << "," << int(p.expected.g) << "," << int(p.expected.b);
    }
}

TEST(picture_orientation, every_file_kind_lands_its_corners_where_they_belong)
{
    ASSERT_TRUE(open_window_once());
    for (const upright_case& c : k_cases) {
        rgba_image image = quadrant_image(c.width, c.height, c.upper_left, c.upper_right, c.lower_left, c.lower_right);
        scratch_bank bank = load_scratch_bank(c.kind, c.bank_path, image);
        ASSERT_TRUE(bank.written) << c.what;
        ASSERT_NE(*c.slot, 0u) << c.what << " did not load";

        // the show's placement for pictures fills the screen...
        expect_corners(c, 1.8f);
        // ...and further back the whole quad is in view, with the background beside it
        expect_corners(c, 2.4f);
        screen_point left_of_quad = project(-1.15f, 0, 2.4f);
        screen_point right_of_quad = project(1.15f, 0, 2.4f);
        EXPECT_TRUE(near_colour(screen_colour(left_of_quad.x, left_of_quad.y), rgb{0, 0, 0}));
        EXPECT_TRUE(near_colour(screen_colour(right_of_quad.x, right_of_quad.y), rgb{0, 0, 0}));
        if (HasFailure()) {
            save_screen_ppm(bank.previous_folder + "/upright-failure-" + (c.bank_path + 5) + ".ppm");
        }
        release_scratch_bank(bank);
    }
}

TEST(picture_alpha, the_alpha_test_cuts_transparent_parts_and_keeps_opaque_ones)
{
    ASSERT_TRUE(open_window_once());
    // four bands: clear, just under the show's threshold of 0.82, just over it, opaque
    const rgba clear = {250, 40, 40, 0};
    const rgba under = {250, 40, 40, 200};
    const rgba over = {250, 40, 40, 220};
    const rgba opaque = {250, 40, 40, 255};
    scratch_bank bank =
        load_scratch_bank(rgba_png, "data/GFXCredit.png", band_image(128, 64, {clear, under, over, opaque}));
    ASSERT_TRUE(bank.written);
    ASSERT_NE(g_tex_gfx_credit, 0u);

    // as the show draws a billboard: over a background, alpha test on, h = 0.5, seen whole at 2.4
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.82f);
    draw_placed_quad(g_tex_gfx_credit, 0.5f, 2.4f, 0.1f, 0.6f, 0.9f);
    glDisable(GL_ALPHA_TEST);

    const rgb background = {26, 153, 230};
    const rgb drawn = {250, 40, 40};
    const float band_centres[] = {-0.75f, -0.25f, 0.25f, 0.75f};
    const bool expect_drawn[] = {false, false, true, true};
    for (int band = 0; band < 4; ++band) {
        screen_point s = project(band_centres[band], 0, 2.4f);
        rgb seen = screen_colour(s.x, s.y);
        EXPECT_TRUE(near_colour(seen, expect_drawn[band] ? drawn : background))
            << "band " << band << " at (" << s.x << ", " << s.y << ") is " << seen.r << "," << seen.g << ","
            << seen.b;
    }
    if (HasFailure()) save_screen_ppm(bank.previous_folder + "/alpha-failure.ppm");
    release_scratch_bank(bank);
}
