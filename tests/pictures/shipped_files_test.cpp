// The picture files the show ships in data/: one for each bank slot, each of the kind its name says,
// of its listed size, shaped like the quad it is drawn on, cut out on its outline, and a real picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "assets/picture_files.h"
#include "assets/soundtrack_file.h"
#include "assets/texture_bank.h"
#include "tests/support/shipped_data.h"
#include "tools/common/image_io.h"
#include "tools/pictures/sharp_noise.h"

// How the show puts a picture on screen: the quad it is stretched onto (2 wide, 2 * half_height
// high), and whether the alpha test cuts its shape out.
struct picture_use {
    const char* role;
    float half_height;
    bool cut_out;
};

// What each role in the list of pictures means on screen.
static picture_use use_of(picture_role role)
{
    switch (role) {
    case k_title_strip:
        return {"title strip", 0.125f, true};
    case k_billboard:
        return {"billboard", 0.5f, true};
    case k_slide:
        return {"slideshow picture", 1.0f, false};
    case k_backdrop:
        return {"backdrop", 1.0f, false};
    // sphere mapping spreads the whole texture over the model's disc, square in both directions
    case k_environment:
        return {"environment", 1.0f, false};
    }
    return {"unknown", 0.0f, false};
}

struct shipped_file {
    const char* name;  // in data/
    picture_use use;
    int width, height;  // as listed
};

// Which scene draws which picture, from the list of pictures.
static std::vector<shipped_file> listed_files()
{
    std::vector<shipped_file> files;
    for (const picture_file& p : g_picture_files) files.push_back({p.file, use_of(p.role), p.width, p.height});
    return files;
}
static const std::vector<shipped_file> k_files = listed_files();

// The show draws cut-outs with the alpha test GL_GREATER 0.82 on bilinearly filtered texels.
static const int k_cut = 209;  // 0.82 * 255: alpha above this shows

// Names the file in a failing case, not its bytes.
static void PrintTo(const shipped_file& f, std::ostream* out)
{
    *out << f.name;
}

// Each file is decoded once for the whole run.
static const decoded_image& shipped(const std::string& name)
{
    static std::map<std::string, decoded_image> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, read_image_file(shipped_root() + "/data/" + name)).first;
    return it->second;
}

static bool is_slide(const std::string& name)
{
    return name.compare(0, 5, "Bilde") == 0;
}

static const unsigned char* pixel(const rgba_image& img, int x, int y)
{
    return &img.pixels[(static_cast<size_t>(y) * img.width + x) * 4];
}

static float luminance(const rgba_image& img, int x, int y)
{
    const unsigned char* p = pixel(img, x, y);
    return (0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2]) / 255.0f;
}

static std::string kind_named_by(const std::string& name)
{
    std::string extension = name.substr(name.size() - 4);
    if (extension == ".png") return "png";
    if (extension == ".jpg") return "jpeg";
    return "no kind (" + extension + ")";
}

// data/ itself, not the list again: a listed picture missing from it, or a file in it that no
// slot loads (beside the soundtrack), fails here.
TEST(shipped_files, one_for_each_bank_slot_and_none_else)
{
    std::multiset<std::string> bank_paths;
    for (const texture_entry& entry : g_texture_table) bank_paths.insert(entry.path);
    EXPECT_EQ(std::set<std::string>(bank_paths.begin(), bank_paths.end()).size(), bank_paths.size())
        << "a path is in the bank twice";
    std::multiset<std::string> in_data;
    for (const auto& entry : std::filesystem::directory_iterator(shipped_root() + "/data")) {
        std::string name = entry.path().filename().string();
        if (name != VL_SOUNDTRACK_FILE) in_data.insert("data/" + name);
    }
    EXPECT_EQ(bank_paths, in_data);
}

class shipped_file_test : public ::testing::TestWithParam<shipped_file> {};

TEST_P(shipped_file_test, is_there_and_decodes_as_the_kind_its_name_says)
{
    const shipped_file& f = GetParam();
    const decoded_image& file = shipped(f.name);
    ASSERT_TRUE(file.ok) << f.name << ": " << file.error;
    EXPECT_EQ(file.format, kind_named_by(f.name)) << f.name;
}

TEST_P(shipped_file_test, has_the_proportions_of_its_quad)
{
    const shipped_file& f = GetParam();
    const decoded_image& file = shipped(f.name);
    ASSERT_TRUE(file.ok) << f.name;
    const rgba_image& img = file.image;
    // stretched onto a quad 2 wide and 2h high, the picture keeps its shape if width : height is 1 : h
    EXPECT_DOUBLE_EQ(static_cast<double>(img.width) / img.height, 1.0 / f.use.half_height)
        << f.name << ", a " << f.use.role << ", is " << img.width << "x" << img.height;
    EXPECT_GE(img.width, 512) << f.name << " is too small to fill its quad";
    EXPECT_EQ(img.width, f.width) << f.name << " is not of its listed width";
    EXPECT_EQ(img.height, f.height) << f.name << " is not of its listed height";
}

TEST_P(shipped_file_test, cut_outs_show_their_shape_at_the_alpha_cut_with_smooth_edges)
{
    const shipped_file& f = GetParam();
    const decoded_image& file = shipped(f.name);
    ASSERT_TRUE(file.ok) << f.name;
    const rgba_image& img = file.image;
    const std::vector<unsigned char>& px = img.pixels;
    if (!f.use.cut_out) {
        // pictures cover their quad: any alpha they carry must be fully opaque
        for (size_t i = 3; i < px.size(); i += 4) ASSERT_EQ(px[i], 255) << f.name;
        return;
    }
    ASSERT_TRUE(file.has_alpha) << f.name << ", a " << f.use.role << ", has no alpha to cut it out";
    size_t shown = 0, clear = 0, ramp = 0, jumps = 0, edge = 0, dark_edge = 0;
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const unsigned char* p = pixel(img, x, y);
            if (p[3] > k_cut) ++shown;
            if (p[3] == 0) ++clear;
            if (p[3] > 0 && p[3] < 255) ++ramp;
            // alpha is a distance ramp: it changes by at most about 0.18 per texel, so filtering
            // between texels moves the cut smoothly instead of in texel steps
            if (x + 1 < img.width && std::abs(int(p[3]) - int(p[7])) > 56) ++jumps;
            if (y + 1 < img.height && std::abs(int(p[3]) - int(pixel(img, x, y + 1)[3])) > 56) ++jumps;
            // texels just outside the cut, which filtering mixes into the visible edge, carry the
            // shape's colour: black there would darken the edge
            if (p[3] >= 140 && p[3] <= k_cut) {
                ++edge;
                if (p[0] == 0 && p[1] == 0 && p[2] == 0) ++dark_edge;
            }
        }
    }
    size_t total = px.size() / 4;
    EXPECT_EQ(jumps, 0u) << f.name << ": alpha steps between texels; edges would show stairs";
    EXPECT_GT(ramp, 0u) << f.name << ": no alpha ramp around the shapes";
    EXPECT_LE(dark_edge * 100, edge) << f.name << ": the colour does not reach past the outline";
    EXPECT_GE(shown * 100, total * 3) << f.name << " shows almost nothing";
    EXPECT_GE(clear * 100, total * 20) << f.name << " hides too much of what is behind it";
}

// A picture is a rendered scene: varied in light and rich in colours over what the screen shows.
// A cut-out is lettering or a shape: its outline turns often along its rows, and its opaque part
// is not one flat colour.
TEST_P(shipped_file_test, has_real_content)
{
    const shipped_file& f = GetParam();
    const decoded_image& file = shipped(f.name);
    ASSERT_TRUE(file.ok) << f.name;
    const rgba_image& img = file.image;
    // slides are judged on the band the screen shows: the middle 74.6 % of their height
    int y0 = is_slide(f.name) ? static_cast<int>(img.height * 0.127f) : 0, y1 = img.height - y0;
    double sum = 0.0, sum2 = 0.0, n = 0.0;
    std::set<unsigned> colours;
    std::set<int> greys;  // luminance levels, for a neutral picture whose colours lie along the grey axis
    double chroma = 0.0;
    long edges = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const unsigned char* p = pixel(img, x, y);
            if (x > 0 && (p[3] > k_cut) != (pixel(img, x - 1, y)[3] > k_cut)) ++edges;
            if (p[3] <= k_cut) continue;
            float l = luminance(img, x, y);
            sum += l;
            sum2 += static_cast<double>(l) * l;
            n += 1.0;
            colours.insert(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]);
            greys.insert(static_cast<int>(l * 255.0f + 0.5f));
            chroma += (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]})) / 255.0;
        }
    }
    ASSERT_GT(n, 0.0) << f.name << " shows nothing";
    double mean = sum / n, sd = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
    EXPECT_GE(sd, 0.05) << f.name << " is nearly flat";
    if (!f.use.cut_out) {
        // a neutral studio (mean chroma under 4 %) is judged by its greys: a render covers most levels
        if (chroma / n < 0.04)
            EXPECT_GE(greys.size(), 192u) << f.name << " has too few grey levels to be a rendered scene";
        else EXPECT_GE(colours.size(), 4000u) << f.name << " has too few colours to be a rendered scene";
        return;
    }
    // shaded lettering, not a flat fill; and more than the two edges a row of a plain block has
    EXPECT_GE(colours.size(), 256u) << f.name << " is filled with a few flat colours";
    EXPECT_GE(edges, 3L * (y1 - y0)) << f.name << " has the outline of a plain block, not of a shape";
}

INSTANTIATE_TEST_SUITE_P(all, shipped_file_test, ::testing::ValuesIn(k_files),
                         [](const ::testing::TestParamInfo<shipped_file>& info) {
                             std::string n = info.param.name;
                             return n.substr(0, n.find('.'));
                         });

// A 16 x 16 colour thumbnail, averaged over blocks.
static std::vector<float> thumbnail(const rgba_image& img)
{
    std::vector<float> t(16 * 16 * 3, 0.0f);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                t[((y * 16 / img.height) * 16 + x * 16 / img.width) * 3 + c] += pixel(img, x, y)[c];
            }
        }
    }
    float per_block = float(img.width / 16) * float(img.height / 16) * 255.0f;
    for (float& v : t) v /= per_block;
    return t;
}

TEST(slideshow, every_slide_differs_from_every_other)
{
    std::vector<std::vector<float>> thumbs;
    std::vector<std::string> names;
    for (const shipped_file& f : k_files) {
        if (!is_slide(f.name)) continue;
        ASSERT_TRUE(shipped(f.name).ok) << f.name;
        thumbs.push_back(thumbnail(shipped(f.name).image));
        names.push_back(f.name);
    }
    // every slide of the list is compared, however many the list holds
    size_t listed_slides = 0;
    for (const picture_file& p : g_picture_files) listed_slides += p.role == k_slide;
    ASSERT_EQ(thumbs.size(), listed_slides) << "a slide's file name does not start with Bilde";
    ASSERT_GE(thumbs.size(), 2u);
    for (size_t a = 0; a < thumbs.size(); ++a) {
        for (size_t b = a + 1; b < thumbs.size(); ++b) {
            float diff = 0.0f;
            for (size_t i = 0; i < thumbs[a].size(); ++i) diff += std::fabs(thumbs[a][i] - thumbs[b][i]);
            diff /= float(thumbs[a].size());
            EXPECT_GE(diff, 0.04f) << names[a] << " and " << names[b] << " look alike";
        }
    }
}

// Billboards at depth 1.4 are wider than the view (half-width 0.773 of their 1) and start
// 0.02 above its top edge (centre 0.1, half-height 0.5, view half-height 0.58).
TEST(cut_outs, near_billboards_keep_their_shapes_in_the_visible_part)
{
    for (const char* name : {"Flanokk.png", "Rosamelt.png", "Zorq1.png"}) {
        const decoded_image& file = shipped(name);
        ASSERT_TRUE(file.ok) << name;
        const rgba_image& img = file.image;
        int x_min = int(std::ceil(img.width * (1.0f - 0.773f) / 2.0f)), x_max = img.width - x_min;
        int y_min = int(std::ceil(img.height * 0.02f));
        int outside = 0;
        for (int y = 0; y < img.height; ++y) {
            for (int x = 0; x < img.width; ++x) {
                if (pixel(img, x, y)[3] > k_cut && (x < x_min || x >= x_max || y < y_min)) ++outside;
            }
        }
        EXPECT_EQ(outside, 0) << name << " has shapes the screen cuts off";
    }
}

TEST(cut_outs, lettering_shown_on_white_is_mostly_dark)
{
    for (const char* name : {"Dimbrane.png", "Presents.png", "Flanokk.png"}) {
        const decoded_image& file = shipped(name);
        ASSERT_TRUE(file.ok) << name;
        const rgba_image& img = file.image;
        size_t opaque = 0, dark = 0;
        for (int y = 0; y < img.height; ++y) {
            for (int x = 0; x < img.width; ++x) {
                if (pixel(img, x, y)[3] <= k_cut) continue;
                ++opaque;
                if (luminance(img, x, y) < 0.6f) ++dark;
            }
        }
        EXPECT_GE(dark * 100, opaque * 40) << name << " would wash out on the white screen";
    }
}

TEST(backdrop, univers_is_dark_inside_the_visible_disc)
{
    const decoded_image& file = shipped("Univers.png");
    ASSERT_TRUE(file.ok);
    const rgba_image& img = file.image;
    double sum = 0.0;
    size_t n = 0;
    float r_max = 0.83f * img.width * 0.5f;
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            float dx = x + 0.5f - img.width * 0.5f, dy = y + 0.5f - img.height * 0.5f;
            if (dx * dx + dy * dy > r_max * r_max) continue;
            sum += luminance(img, x, y);
            ++n;
        }
    }
    EXPECT_LE(sum / n, 0.2) << "the backdrop would drown the model and the billboards";
}

// Absolute 4-neighbour Laplacian of luminance (0-255) at every pixel where keep(u, v) holds,
// u and v running from -1 to 1 across the picture, v up.
template <class Keep> static std::vector<float> laplacians(const rgba_image& img, Keep keep)
{
    std::vector<float> out;
    for (int y = 1; y + 1 < img.height; ++y) {
        for (int x = 1; x + 1 < img.width; ++x) {
            float u = (x + 0.5f) / img.width * 2.0f - 1.0f, v = 1.0f - (y + 0.5f) / img.height * 2.0f;
            if (!keep(u, v)) continue;
            float l = 4.0f * luminance(img, x, y) - luminance(img, x - 1, y) - luminance(img, x + 1, y) -
                luminance(img, x, y - 1) - luminance(img, x, y + 1);
            out.push_back(std::fabs(l) * 255.0f);
        }
    }
    return out;
}

// Sphere mapping interpolates the map between the model's vertices, a few pixels apart: any fine
// pattern in the lower half, which the model's underside reflects, turns to moire there.
TEST(environment, the_floor_the_models_underside_reflects_is_smooth)
{
    const decoded_image& file = shipped("VuvedUruvi.jpg");
    ASSERT_TRUE(file.ok);
    std::vector<float> l = laplacians(file.image, [](float u, float v) { return v < 0.0f && u * u + v * v < 0.81f; });
    ASSERT_FALSE(l.empty());
    double mean = 0.0;
    for (float x : l) mean += x;
    mean /= double(l.size());
    EXPECT_LE(mean, 3.0) << "the floor carries a pattern finer than the model's tessellation";
}

// The model's underside reflects the lower half of the map: a coloured floor there turns half the
// chrome to bronze. Saturation weighted by value over that half of the disc stays that of a grey.
TEST(environment, the_floor_the_models_underside_reflects_is_neutral)
{
    const decoded_image& file = shipped("VuvedUruvi.jpg");
    ASSERT_TRUE(file.ok);
    const rgba_image& img = file.image;
    double weighted = 0.0, values = 0.0;
    for (int y = img.height / 2; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            float u = (x + 0.5f) / img.width * 2.0f - 1.0f, v = 1.0f - (y + 0.5f) / img.height * 2.0f;
            if (u * u + v * v >= 1.0f) continue;
            const unsigned char* p = pixel(img, x, y);
            int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
            if (hi == 0) continue;
            weighted += double(hi - lo);  // saturation (hi - lo) / hi, weighted by the value hi
            values += hi;
        }
    }
    ASSERT_GT(values, 0.0) << "the lower half of the map is black";
    EXPECT_LE(weighted / values, 0.15) << "the floor the model reflects is coloured";
}

// The visible disc is magnified 1.5 times: three quarters of it must be free of texel-scale
// grain, leaving the sharp detail to the stars.
TEST(backdrop, univers_has_no_grain_where_it_is_seen)
{
    const decoded_image& file = shipped("Univers.png");
    ASSERT_TRUE(file.ok);
    std::vector<float> l = laplacians(file.image, [](float u, float v) { return u * u + v * v < 0.83f * 0.83f; });
    ASSERT_FALSE(l.empty());
    std::nth_element(l.begin(), l.begin() + l.size() * 3 / 4, l.end());
    EXPECT_LE(l[l.size() * 3 / 4], 3.0f) << "the backdrop is stippled at the texel scale";
}

// Where the screen shows a slide, neighbouring pixels must not flicker against each other:
// the mean absolute 4-neighbour Laplacian of luminance (0..255) stays at 12 or less.
TEST(slideshow, every_slide_is_free_of_pixel_grain_where_it_is_seen)
{
    for (const shipped_file& f : k_files) {
        if (!is_slide(f.name)) continue;
        const decoded_image& file = shipped(f.name);
        ASSERT_TRUE(file.ok) << f.name;
        const rgba_image& img = file.image;
        int first, end;
        seen_rows(img.height, &first, &end);
        EXPECT_LE(sharp_noise(img.pixels.data(), img.width, img.height, 4, first, end), 12.0) << f.name;
    }
}
