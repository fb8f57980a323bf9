// The bank's life: every slot a texture once loaded, none after release, and silent failed loads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "assets/texture_bank.h"
#include "platform/message_box.h"
#include "show/timeline.h"
#include "tests/support/gl_window.h"
#include "tests/textures/bank_fixture.h"
#include "tests/textures/test_images.h"

// Linked in place of the platform's error box: counts the boxes instead of showing them.
static int g_error_boxes = 0;

int MessageBoxA(HWND, const char*, const char*, unsigned int)
{
    ++g_error_boxes;
    return IDOK;
}

static void load_bank()
{
    load_textures();
}

// A small image of the right kind under every name of the bank, but for the names left out.
static void write_whole_scratch_set(const std::string& root, const std::set<std::string>& left_out)
{
    rgba_image image = quadrant_image(32, 32, {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 0});
    for (const texture_entry& entry : g_texture_table) {
        std::string path = entry.path;
        if (left_out.count(path)) continue;
        bool jpeg = path.compare(path.size() - 4, 4, ".jpg") == 0;
        bool written = jpeg ? write_jpeg_progressive(root + "/" + path, image)
                            : write_png_rgba(root + "/" + path, image);
        ASSERT_TRUE(written) << path;
    }
}

// What every full bank must show: as many distinct live textures as it has pictures, each holding an image, 2D
// texturing on; and no texture at all left after release.
static void expect_whole_bank_lifecycle()
{
    // names a double load or a stray upload would have taken lie within this range
    const GLuint probe_range = 512;
    ASSERT_EQ(live_texture_count(probe_range), 0) << "textures exist before the bank is loaded";

    std::string output = output_of(load_bank);
    EXPECT_EQ(output, "");
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    std::vector<GLuint> names = bank_names();
    std::set<GLuint> distinct;
    for (size_t i = 0; i < names.size(); ++i) {
        const char* path = g_texture_table[i].path;
        EXPECT_NE(names[i], 0u) << path << " did not load";
        EXPECT_TRUE(glIsTexture(names[i])) << path;
        glBindTexture(GL_TEXTURE_2D, names[i]);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_GT(width, 0) << path << " holds no image";
        EXPECT_GT(height, 0) << path << " holds no image";
        if (names[i] != 0) distinct.insert(names[i]);
        ASSERT_LT(names[i], probe_range) << "widen the probe range";
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(distinct.size(), static_cast<size_t>(k_texture_count));
    // exactly the bank's textures exist: every image loaded once, nothing else uploaded
    EXPECT_EQ(live_texture_count(probe_range), k_texture_count);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    free_textures();
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_FALSE(glIsTexture(names[i])) << g_texture_table[i].path << " still a texture";
    }
    EXPECT_EQ(live_texture_count(probe_range), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(bank_lifecycle, the_shipped_set_loads_into_28_textures_and_all_are_deleted)
{
    ASSERT_TRUE(open_window_once());
    std::string previous = enter_folder(shipped_root());
    expect_whole_bank_lifecycle();
    enter_folder(previous);
}

TEST(bank_lifecycle, a_whole_set_of_our_own_loads_into_28_textures_and_all_are_deleted)
{
    ASSERT_TRUE(open_window_once());
    std::string root = make_scratch_root();
    write_whole_scratch_set(root, {});
    std::string previous = enter_folder(root);
    expect_whole_bank_lifecycle();
    enter_folder(previous);
    remove_scratch_root(root);
}

TEST(bank_failures, missing_and_unreadable_files_load_silently_as_0_and_draw_white)
{
    ASSERT_TRUE(open_window_once());
    std::string root = make_scratch_root();
    // the first image missing, one PNG and one JPEG that are not what they claim
    write_whole_scratch_set(root, {"data/Dimbrane.png"});
    FILE* broken_png = std::fopen((root + "/data/Presents.png").c_str(), "wb");
    std::fputs("\x89PNG\r\n\x1a\n but nothing of a picture follows", broken_png);
    std::fclose(broken_png);
    FILE* broken_jpeg = std::fopen((root + "/data/Bilde03.jpg").c_str(), "wb");
    std::fputs("\xff\xd8\xff\xe0 cut short", broken_jpeg);
    std::fclose(broken_jpeg);
    std::string previous = enter_folder(root);

    g_error_boxes = 0;
    std::string output = output_of(load_bank);
    EXPECT_EQ(output, "") << "loading said something";
    EXPECT_EQ(g_error_boxes, 0);
    EXPECT_EQ(g_tex_dimbrane, 0u);
    EXPECT_EQ(g_tex_presents, 0u);
    EXPECT_EQ(g_tex_bilde03, 0u);
    // start-up went on past the failures, to the end of the table
    EXPECT_NE(g_tex_rosamelt, 0u);
    EXPECT_NE(g_tex_zorq1, 0u);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // drawn as a picture and as a billboard, the empty slot gives a quad in the current colour
    draw_placed_quad(g_tex_dimbrane, 1.0f, 1.8f, 0, 0, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(near_colour(screen_colour(512, 384), rgb{255, 255, 255}));
    EXPECT_TRUE(near_colour(screen_colour(100, 100), rgb{255, 255, 255}));
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.82f);
    draw_placed_quad(g_tex_presents, 0.5f, 2.4f, 0, 0, 0);
    glDisable(GL_ALPHA_TEST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    screen_point inside = project(0.5f, 0.25f, 2.4f);
    screen_point beside = project(0, 0.75f, 2.4f);
    EXPECT_TRUE(near_colour(screen_colour(inside.x, inside.y), rgb{255, 255, 255}));
    EXPECT_TRUE(near_colour(screen_colour(beside.x, beside.y), rgb{0, 0, 0}));

    // and releasing the empty slots with the rest is harmless too
    free_textures();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(live_texture_count(512), 0);
    enter_folder(previous);
    remove_scratch_root(root);
}
