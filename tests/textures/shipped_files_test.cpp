// The shipped picture files: every path of the bank is there, of its kind, shaped as the show draws it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "assets/texture_bank.h"
#include "tests/textures/bank_fixture.h"

// How the show puts a picture on screen: the quad it is stretched onto (2 wide, 2 * half_height
// high), and whether the alpha test cuts its shape out.
struct picture_use {
    const char* role;
    float half_height;
    bool cut_out;
};

static const picture_use k_title_strip = {"title strip", 0.125f, true};
static const picture_use k_billboard = {"billboard", 0.5f, true};
static const picture_use k_slide = {"slideshow picture", 1.0f, false};
static const picture_use k_backdrop = {"backdrop", 1.0f, false};
// sphere mapping spreads the whole texture over the model's disc, square in both directions
static const picture_use k_environment = {"environment", 1.0f, false};

struct used_picture {
    const char* path;
    picture_use use;
};

// Which scene draws which picture: the role each has in the list of pictures.
static const used_picture k_uses[] = {
#define VL_PICTURE(file, role, width, height, slot) {"data/" file, role},
#include "assets/picture_list.h"
#undef VL_PICTURE
};

// What the file's header says about it.
struct file_facts {
    bool readable = false;
    std::string kind;           // "png", "jpeg" or "unknown"
    int width = 0;
    int height = 0;
    bool has_alpha = false;     // an alpha channel or a transparency chunk
};

static unsigned big_endian(const std::vector<unsigned char>& b, size_t at, int bytes)
{
    unsigned value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | b[at + i];
    return value;
}

static void read_png_facts(const std::vector<unsigned char>& b, file_facts& facts)
{
    // IHDR comes first; then walk the chunks up to the image data, looking for tRNS
    if (b.size() < 33 || std::memcmp(&b[12], "IHDR", 4) != 0) return;
    facts.width = static_cast<int>(big_endian(b, 16, 4));
    facts.height = static_cast<int>(big_endian(b, 20, 4));
    int colour_type = b[25];
    facts.has_alpha = colour_type == 4 || colour_type == 6;
    size_t at = 8;
    while (at + 8 <= b.size()) {
        size_t length = big_endian(b, at, 4);
        if (std::memcmp(&b[at + 4], "tRNS", 4) == 0) facts.has_alpha = true;
        if (std::memcmp(&b[at + 4], "IDAT", 4) == 0) break;
        at += 12 + length;
    }
}

static void read_jpeg_facts(const std::vector<unsigned char>& b, file_facts& facts)
{
    // markers after SOI until a start-of-frame, which holds the size
    size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) return;
        unsigned char marker = b[at + 1];
        if (marker == 0xFF) { ++at; continue; }
        bool standalone = marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
        if (standalone) { at += 2; continue; }
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                     marker != 0xCC;
        if (frame && at + 9 <= b.size()) {
            facts.height = static_cast<int>(big_endian(b, at + 5, 2));
            facts.width = static_cast<int>(big_endian(b, at + 7, 2));
            return;
        }
        at += 2 + big_endian(b, at + 2, 2);
    }
}

static file_facts read_facts(const std::string& file)
{
    file_facts facts;
    std::ifstream in(file, std::ios::binary);
    if (!in) return facts;
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    facts.readable = true;
    static const unsigned char png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() >= 8 && std::memcmp(b.data(), png_signature, 8) == 0) {
        facts.kind = "png";
        read_png_facts(b, facts);
    } else if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
        facts.kind = "jpeg";
        read_jpeg_facts(b, facts);
    } else {
        facts.kind = "unknown";
    }
    return facts;
}

static std::string kind_named_by(const std::string& path)
{
    std::string extension = path.substr(path.size() - 4);
    if (extension == ".png") return "png";
    if (extension == ".jpg") return "jpeg";
    return "no kind (" + extension + ")";
}

TEST(shipped_pictures, every_bank_path_has_a_use_in_the_show_and_no_use_lacks_a_path)
{
    std::multiset<std::string> bank_paths;
    for (const texture_entry& entry : g_texture_table) bank_paths.insert(entry.path);
    std::multiset<std::string> used_paths;
    for (const used_picture& u : k_uses) used_paths.insert(u.path);
    EXPECT_EQ(std::set<std::string>(bank_paths.begin(), bank_paths.end()).size(), bank_paths.size())
        << "a path is in the bank twice";
    EXPECT_EQ(bank_paths, used_paths);
}

TEST(shipped_pictures, every_file_is_there_of_the_kind_its_name_says_and_shaped_like_its_quad)
{
    for (const used_picture& u : k_uses) {
        SCOPED_TRACE(std::string(u.path) + ", " + u.use.role);
        file_facts facts = read_facts(shipped_root() + "/" + u.path);
        ASSERT_TRUE(facts.readable) << "missing";
        EXPECT_EQ(facts.kind, kind_named_by(u.path));
        ASSERT_GT(facts.width, 0) << "no size in the header";
        ASSERT_GT(facts.height, 0) << "no size in the header";
        // stretched onto a quad 2 wide and 2h high, the picture keeps its shape if width : height
        // is 1 : h
        double expected_aspect = 1.0 / u.use.half_height;
        EXPECT_DOUBLE_EQ(static_cast<double>(facts.width) / facts.height, expected_aspect)
            << facts.width << " x " << facts.height;
    }
}

TEST(shipped_pictures, pictures_the_alpha_test_cuts_out_carry_alpha)
{
    for (const used_picture& u : k_uses) {
        if (!u.use.cut_out) continue;
        file_facts facts = read_facts(shipped_root() + "/" + u.path);
        ASSERT_TRUE(facts.readable) << u.path << " missing";
        EXPECT_TRUE(facts.has_alpha) << u.path << ", a " << u.use.role << ", has no alpha";
    }
}
