// Files a user may put in data/: damaged and crafted ones load as empty slots, in silence and at
// once; good ones load by what they are, whatever their name says, and in their true colours.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>

#include "assets/image_loader.h"
#include "assets/texture_bank.h"
#include "tests/support/gl_window.h"
#include "tests/textures/bank_fixture.h"
#include "tests/textures/crafted_images.h"
#include "tests/textures/test_images.h"

static const rgba k_red = {220, 30, 30, 255};
static const rgba k_green = {30, 200, 40, 255};
static const rgba k_blue = {30, 40, 220, 255};
static const rgba k_yellow = {230, 220, 30, 255};

static rgba_image four_colours(int width, int height)
{
    return quadrant_image(width, height, k_red, k_green, k_blue, k_yellow);
}

// A scratch data folder holding the given files under bank paths, and the bank loaded from it.
struct scratch_bank {
    std::string root;
    std::string previous_folder;
    std::string output;  // what loading wrote to stdout and stderr
};

static void load_bank()
{
    load_textures();
}

static scratch_bank load_bank_with(const std::vector<std::pair<const char*, file_bytes>>& files)
{
    scratch_bank bank;
    bank.root = make_scratch_root();
    for (const auto& file : files) {
        EXPECT_TRUE(write_file_bytes(bank.root + "/" + file.first, file.second)) << file.first;
    }
    bank.previous_folder = enter_folder(bank.root);
    bank.output = output_of(load_bank);
    return bank;
}

static void release_bank(const scratch_bank& bank)
{
    free_textures();
    enter_folder(bank.previous_folder);
    remove_scratch_root(bank.root);
}

// The four quadrant colours where a full-screen picture quad puts them.
static void expect_four_colours(GLuint texture, const char* what, int tolerance = 24)
{
    SCOPED_TRACE(what);
    draw_placed_quad(texture, 1.0f, 2.4f, 0, 0, 0);
    const struct {
        float x, y;
        rgba expected;
    } probes[] = {{-0.5f, 0.5f, k_red}, {0.5f, 0.5f, k_green}, {-0.5f, -0.5f, k_blue}, {0.5f, -0.5f, k_yellow}};
    for (const auto& p : probes) {
        screen_point s = project(p.x, p.y, 2.4f);
        rgb seen = screen_colour(s.x, s.y);
        rgb expected = {p.expected.r, p.expected.g, p.expected.b};
        EXPECT_TRUE(near_colour(seen, expected, tolerance))
            << "at (" << s.x << ", " << s.y << ") " << seen.r << "," << seen.g << "," << seen.b << ", expected "
            << expected.r << "," << expected.g << "," << expected.b;
    }
}

struct damaged_kind {
    const char* name;
    const char* path;  // a name of the file's own kind, so that any decoder would take it
    GLuint* slot;
    std::function<file_bytes()> make;
};

// Each one crashed, hung or overran memory before the bank checked files itself.
static const damaged_kind k_damaged[] = {
    // the decoder's 32-bit size product wraps and the rows are written past a short block
    {"jpeg_claiming_65500x65500", "data/Bilde01.jpg", &g_tex_bilde01, [] { return jpeg_claiming(65500, 65500); }},
    {"png_claiming_40000x40000_with_rows", "data/Flanokk.png", &g_tex_flanokk,
     [] { return rgb_png_claiming(40000, 40000, 6000); }},
    // the decoder's reader spins at the end of the file, forever
    {"png_chunk_length_past_the_end", "data/Flanokk.png", &g_tex_flanokk,
     [] { return png_with_chunk_past_end(four_colours(64, 64)); }},
    {"png_cut_to_45_bytes", "data/Flanokk.png", &g_tex_flanokk,
     [] { return cut_to(png_with_background(four_colours(64, 64)), 45); }},
    // found by fuzzing the decoder without the check: its JPEG reader spins the same way
    {"jpeg_segment_past_the_end", "data/Bilde01.jpg", &g_tex_bilde01, [] { return jpeg_with_segment_past_end(); }},
    {"jpeg_comment_past_the_end_after_the_scan", "data/Bilde01.jpg", &g_tex_bilde01,
     [] { return jpeg_with_comment_past_end(four_colours(64, 64)); }},
};

static void PrintTo(const damaged_kind& kind, std::ostream* out)
{
    *out << kind.name << " as " << kind.path;
}

class damaged_file : public testing::TestWithParam<damaged_kind> {};

TEST_P(damaged_file, loads_as_an_empty_slot_that_draws_white_and_says_nothing)
{
    ASSERT_TRUE(open_window_once());
    // the damaged file, then a good file later in the load order: start-up goes on past it
    const damaged_kind& kind = GetParam();
    scratch_bank bank =
        load_bank_with({{kind.path, kind.make()}, {"data/Zorq1.png", png_bytes(four_colours(32, 32))}});
    EXPECT_EQ(bank.output, "");
    EXPECT_EQ(*kind.slot, 0u);
    EXPECT_NE(g_tex_zorq1, 0u);
    draw_placed_quad(*kind.slot, 1.0f, 1.8f, 0, 0, 0);
    EXPECT_TRUE(near_colour(screen_colour(512, 384), rgb{255, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    release_bank(bank);
}

INSTANTIATE_TEST_SUITE_P(kinds, damaged_file, testing::ValuesIn(k_damaged),
                         [](const testing::TestParamInfo<damaged_kind>& info) {
                             return std::string(info.param.name);
                         });

TEST(not_a_file, a_fifo_or_folder_under_an_image_name_loads_as_an_empty_slot_at_once)
{
    ASSERT_TRUE(open_window_once());
    std::string root = make_scratch_root();
    // nothing ever writes to the FIFO: opening it to read would wait for a writer forever
    ASSERT_EQ(mkfifo((root + "/data/Flanokk.png").c_str(), 0644), 0);
    ASSERT_EQ(mkdir((root + "/data/Bilde04.jpg").c_str(), 0755), 0);
    ASSERT_TRUE(write_png_rgba(root + "/data/Zorq1.png", four_colours(32, 32)));
    std::string previous = enter_folder(root);
    EXPECT_EQ(output_of(load_bank), "");
    EXPECT_EQ(g_tex_flanokk, 0u);
    EXPECT_EQ(g_tex_bilde04, 0u);
    EXPECT_NE(g_tex_zorq1, 0u);
    free_textures();
    enter_folder(previous);
    remove_scratch_root(root);
}

TEST(file_signature, a_png_under_a_jpg_name_and_a_jpeg_under_a_png_name_show_their_pictures)
{
    ASSERT_TRUE(open_window_once());
    scratch_bank bank = load_bank_with({{"data/Bilde05.jpg", png_bytes(four_colours(64, 64))},
                                        {"data/Rosamelt.png", jpeg_bytes(four_colours(64, 64))}});
    EXPECT_EQ(bank.output, "");
    ASSERT_NE(g_tex_bilde05, 0u);
    ASSERT_NE(g_tex_rosamelt, 0u);
    expect_four_colours(g_tex_bilde05, "PNG named .jpg");
    expect_four_colours(g_tex_rosamelt, "JPEG named .png");
    release_bank(bank);
}

TEST(cmyk_jpeg, adobe_cmyk_and_ycck_files_show_their_true_colours_opaque)
{
    ASSERT_TRUE(open_window_once());
    scratch_bank bank = load_bank_with({{"data/Bilde06.jpg", adobe_cmyk_jpeg_bytes(four_colours(64, 64), false)},
                                        {"data/Bilde07.jpg", adobe_cmyk_jpeg_bytes(four_colours(64, 64), true)}});
    EXPECT_EQ(bank.output, "");
    ASSERT_NE(g_tex_bilde06, 0u);
    ASSERT_NE(g_tex_bilde07, 0u);
    expect_four_colours(g_tex_bilde06, "Adobe CMYK");
    expect_four_colours(g_tex_bilde07, "Adobe YCCK");
    // a JPEG has no transparency: the show's cut-out alpha test keeps every pixel
    for (GLuint texture : {g_tex_bilde06, g_tex_bilde07}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint alpha_bits = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alpha_bits);
        EXPECT_EQ(alpha_bits, 0) << "texture " << texture;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    release_bank(bank);
}

static void expect_texture_within(GLuint texture, int width, int height)
{
    GLint gl_max = 0, texture_width = 0, texture_height = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texture_width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texture_height);
    glBindTexture(GL_TEXTURE_2D, 0);
    int limit = std::min(gl_max, GLint(k_texture_max_side));
    EXPECT_LE(texture_width, limit);
    EXPECT_LE(texture_height, limit);
    EXPECT_GT(std::max(texture_width, texture_height), limit / 2) << "needlessly small";
    EXPECT_LE(std::abs(texture_width * height - texture_height * width), std::max(width, height));
}

// A camera's photo once showed as a white screen: every side up to 16384, and up to 200 megapixels,
// is decoded to what a texture holds; beyond, no camera makes it and it stays refused.
TEST(large_picture, camera_photos_and_panoramas_show_scaled_to_the_texture_and_larger_claims_are_refused)
{
    ASSERT_TRUE(open_window_once());
    scratch_bank bank = load_bank_with({
        {"data/Bilde01.jpg", through_file(write_jpeg_baseline, four_colours(6000, 4000))},
        {"data/Bilde02.jpg", through_file(write_jpeg_baseline, four_colours(8192, 6144))},
        {"data/Flanokk.png", png_bytes(four_colours(16384, 2048))},
        {"data/Bilde03.jpg", jpeg_claiming(16385, 16)},
        {"data/Rosamelt.png", rgb_png_claiming(16384, 12289, 0)},
    });
    EXPECT_EQ(bank.output, "");
    ASSERT_NE(g_tex_bilde01, 0u);
    ASSERT_NE(g_tex_bilde02, 0u);
    ASSERT_NE(g_tex_flanokk, 0u);
    expect_texture_within(g_tex_bilde01, 6000, 4000);
    expect_texture_within(g_tex_bilde02, 8192, 6144);
    expect_texture_within(g_tex_flanokk, 16384, 2048);
    expect_four_colours(g_tex_bilde01, "6000 x 4000 JPEG");
    expect_four_colours(g_tex_bilde02, "8192 x 6144 JPEG");
    expect_four_colours(g_tex_flanokk, "16384 x 2048 PNG");
    EXPECT_EQ(g_tex_bilde03, 0u);
    EXPECT_EQ(g_tex_rosamelt, 0u);
    release_bank(bank);
}
