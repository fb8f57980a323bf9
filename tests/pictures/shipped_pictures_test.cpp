// Checks the image files the show ships in data/: type, size, cut-outs with smooth edges, and real picture content.
#include "tests/pictures/decoded_image.h"

#include "assets/picture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>

using shipped_file = picture_file;
static const picture_file (&g_files)[k_picture_count] = g_picture_files;

// Each file is decoded once for the whole run.
static const decoded_image &shipped(const std::string &name)
{
    static std::map<std::string, decoded_image> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, decode_image_file(std::string(VL_DATA_DIR) + "/" + name)).first;
    return it->second;
}

static bool is_cutout(const shipped_file &f) { return is_cut_out(f.role); }
static bool is_slide(const std::string &name) { return name.compare(0, 5, "Bilde") == 0; }

static float luminance(const decoded_image &img, int x, int y)
{
    const unsigned char *p = &img.rgba[(size_t(y) * img.width + x) * 4];
    return (0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2]) / 255.0f;
}

class ShippedFile : public ::testing::TestWithParam<shipped_file> {};

TEST_P(ShippedFile, DecodesAsTheTypeItsExtensionNames)
{
    const shipped_file &f = GetParam();
    const decoded_image &img = shipped(f.file);
    ASSERT_TRUE(img.ok) << f.file << ": " << img.error;
    std::string name = f.file;
    std::string want = name.substr(name.size() - 4) == ".png" ? "png" : "jpeg";
    EXPECT_EQ(img.format, want) << f.file;
}

TEST_P(ShippedFile, HasItsListedSizeInTheProportionsOfItsQuad)
{
    const shipped_file &f = GetParam();
    const decoded_image &img = shipped(f.file);
    ASSERT_TRUE(img.ok) << f.file;
    EXPECT_EQ(img.width, f.width) << f.file << " is " << img.width << "x" << img.height;
    EXPECT_EQ(img.height, f.height) << f.file << " is " << img.width << "x" << img.height;
    int ratio = f.role == k_title_strip ? 8 : (f.role == k_billboard ? 2 : 1);
    EXPECT_EQ(f.width, f.height * ratio) << f.file << " is listed as " << f.width << "x" << f.height;
    EXPECT_GE(img.width, 512) << f.file << " is too small to fill its quad";
}

// The show draws cut-outs with the alpha test GL_GREATER 0.82 on bilinearly filtered texels.
static const int k_cut = 209; // 0.82 * 255: alpha above this shows

TEST_P(ShippedFile, CutoutsShowTheirShapeAtTheAlphaCutWithSmoothEdges)
{
    const shipped_file &f = GetParam();
    const decoded_image &img = shipped(f.file);
    ASSERT_TRUE(img.ok) << f.file;
    if (!is_cutout(f)) {
        // Pictures cover their quad: any alpha they carry must be fully opaque.
        for (size_t i = 3; i < img.rgba.size(); i += 4) ASSERT_EQ(img.rgba[i], 255) << f.file;
        return;
    }
    ASSERT_TRUE(img.has_alpha) << f.file << " has no alpha channel to cut it out";
    size_t shown = 0, clear = 0, ramp = 0, jumps = 0, edge = 0, dark_edge = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const unsigned char *p = &img.rgba[(size_t(y) * img.width + x) * 4];
            if (p[3] > k_cut) ++shown;
            if (p[3] == 0) ++clear;
            if (p[3] > 0 && p[3] < 255) ++ramp;
            // alpha is a distance ramp: it changes by at most about 0.18 per texel, so
            // filtering between texels moves the cut smoothly instead of in texel steps
            if (x + 1 < img.width && std::abs(int(p[3]) - int(p[7])) > 56) ++jumps;
            if (y + 1 < img.height && std::abs(int(p[3]) - int(p[size_t(img.width) * 4 + 3])) > 56) ++jumps;
            // texels just outside the cut, which filtering mixes into the visible edge, carry the
            // shape's colour: black there would darken the edge (further out the file keeps no
            // colour under the faint alpha, and nothing reads it)
            if (p[3] >= 140 && p[3] <= k_cut) {
                ++edge;
                if (p[0] == 0 && p[1] == 0 && p[2] == 0) ++dark_edge;
            }
        }
    size_t total = img.rgba.size() / 4;
    EXPECT_EQ(jumps, 0u) << f.file << ": alpha steps between texels; edges would show stairs";
    EXPECT_GT(ramp, 0u) << f.file << ": no alpha ramp around the shapes";
    EXPECT_LE(dark_edge * 100, edge) << f.file << ": the colour does not reach past the outline";
    EXPECT_GE(shown * 100, total * 3) << f.file << " shows almost nothing";
    EXPECT_GE(clear * 100, total * 20) << f.file << " hides too much of what is behind it";
}

TEST_P(ShippedFile, PicturesHaveRealContent)
{
    const shipped_file &f = GetParam();
    if (is_cutout(f)) return;
    const decoded_image &img = shipped(f.file);
    ASSERT_TRUE(img.ok) << f.file;
    // Slides are judged on the band the screen shows: the middle 74.6 % of their height.
    int y0 = is_slide(f.file) ? int(img.height * 0.127f) : 0, y1 = img.height - y0;
    double sum = 0.0, sum2 = 0.0;
    std::set<unsigned> colours;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < img.width; ++x) {
            float l = luminance(img, x, y);
            sum += l;
            sum2 += double(l) * l;
            const unsigned char *p = &img.rgba[(size_t(y) * img.width + x) * 4];
            colours.insert(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]);
        }
    double n = double(y1 - y0) * img.width, mean = sum / n;
    double sd = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
    EXPECT_GE(sd, 0.05) << f.file << " is nearly flat";
    EXPECT_GE(colours.size(), 4000u) << f.file << " has too few colours to be a rendered scene";
}

INSTANTIATE_TEST_SUITE_P(AllFiles, ShippedFile, ::testing::ValuesIn(g_files),
                         [](const ::testing::TestParamInfo<shipped_file> &info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

// A 16 x 16 colour thumbnail, averaged over blocks.
static std::vector<float> thumbnail(const decoded_image &img)
{
    std::vector<float> t(16 * 16 * 3, 0.0f);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            for (int c = 0; c < 3; ++c)
                t[((y * 16 / img.height) * 16 + x * 16 / img.width) * 3 + c] += img.rgba[(size_t(y) * img.width + x) * 4 + c];
    float per_block = float(img.width / 16) * float(img.height / 16) * 255.0f;
    for (float &v : t) v /= per_block;
    return t;
}

TEST(Slideshow, EverySlideDiffersFromEveryOther)
{
    std::vector<std::vector<float>> thumbs;
    for (const shipped_file &f : g_files) {
        if (!is_slide(f.file)) continue;
        ASSERT_TRUE(shipped(f.file).ok) << f.file;
        thumbs.push_back(thumbnail(shipped(f.file)));
    }
    ASSERT_EQ(thumbs.size(), 17u);
    for (size_t a = 0; a < thumbs.size(); ++a)
        for (size_t b = a + 1; b < thumbs.size(); ++b) {
            float diff = 0.0f;
            for (size_t i = 0; i < thumbs[a].size(); ++i) diff += std::fabs(thumbs[a][i] - thumbs[b][i]);
            diff /= float(thumbs[a].size());
            EXPECT_GE(diff, 0.04f) << "Bilde" << a + 1 << " and Bilde" << b + 1 << " look alike";
        }
}

// Billboards at depth 1.4 are wider than the view (half-width 0.773 of their 1) and start
// 0.02 above its top edge (centre 0.1, half-height 0.5, view half-height 0.58).
TEST(Cutouts, NearBillboardsKeepTheirShapesInTheVisiblePart)
{
    for (const char *name : {"Flanokk.png", "Rosamelt.png", "Zorq1.png"}) {
        const decoded_image &img = shipped(name);
        ASSERT_TRUE(img.ok) << name;
        int x_min = int(std::ceil(img.width * (1.0f - 0.773f) / 2.0f)), x_max = img.width - x_min;
        int y_min = int(std::ceil(img.height * 0.02f));
        int outside = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                if (img.rgba[(size_t(y) * img.width + x) * 4 + 3] > k_cut && (x < x_min || x >= x_max || y < y_min)) ++outside;
        EXPECT_EQ(outside, 0) << name << " has shapes the screen cuts off";
    }
}

TEST(Cutouts, LetteringShownOnWhiteIsMostlyDark)
{
    for (const char *name : {"Dimbrane.png", "Presents.png", "Flanokk.png"}) {
        const decoded_image &img = shipped(name);
        ASSERT_TRUE(img.ok) << name;
        size_t opaque = 0, dark = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                if (img.rgba[(size_t(y) * img.width + x) * 4 + 3] <= k_cut) continue;
                ++opaque;
                if (luminance(img, x, y) < 0.6f) ++dark;
            }
        EXPECT_GE(dark * 100, opaque * 40) << name << " would wash out on the white screen";
    }
}

TEST(Backdrop, UniversIsDarkInsideTheVisibleDisc)
{
    const decoded_image &img = shipped("Univers.png");
    ASSERT_TRUE(img.ok);
    double sum = 0.0;
    size_t n = 0;
    float r_max = 0.83f * img.width * 0.5f;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            float dx = x + 0.5f - img.width * 0.5f, dy = y + 0.5f - img.height * 0.5f;
            if (dx * dx + dy * dy > r_max * r_max) continue;
            sum += luminance(img, x, y);
            ++n;
        }
    EXPECT_LE(sum / n, 0.2) << "the backdrop would drown the model and the billboards";
}

// Absolute 4-neighbour Laplacian of luminance (0-255) at every pixel where keep(u, v) holds,
// u and v running from -1 to 1 across the picture, v up.
template <class Keep>
static std::vector<float> laplacians(const decoded_image &img, Keep keep)
{
    std::vector<float> out;
    for (int y = 1; y + 1 < img.height; ++y)
        for (int x = 1; x + 1 < img.width; ++x) {
            float u = (x + 0.5f) / img.width * 2.0f - 1.0f, v = 1.0f - (y + 0.5f) / img.height * 2.0f;
            if (!keep(u, v)) continue;
            float l = 4.0f * luminance(img, x, y) - luminance(img, x - 1, y) - luminance(img, x + 1, y) -
                      luminance(img, x, y - 1) - luminance(img, x, y + 1);
            out.push_back(std::fabs(l) * 255.0f);
        }
    return out;
}

// Sphere mapping interpolates the map between the model's vertices, a few pixels apart: any fine
// pattern in the lower half, which the model's underside reflects, turns to moire there.
TEST(Environment, TheFloorTheModelsUndersideReflectsIsSmooth)
{
    const decoded_image &img = shipped("VuvedUruvi.jpg");
    ASSERT_TRUE(img.ok);
    std::vector<float> l = laplacians(img, [](float u, float v) { return v < 0.0f && u * u + v * v < 0.81f; });
    ASSERT_FALSE(l.empty());
    double mean = 0.0;
    for (float x : l) mean += x;
    mean /= double(l.size());
    EXPECT_LE(mean, 3.0) << "the floor carries a pattern finer than the model's tessellation";
}

// The visible disc is magnified 1.5 times: three quarters of it must be free of texel-scale
// grain, leaving the sharp detail to the stars.
TEST(Backdrop, UniversHasNoGrainWhereItIsSeen)
{
    const decoded_image &img = shipped("Univers.png");
    ASSERT_TRUE(img.ok);
    std::vector<float> l = laplacians(img, [](float u, float v) { return u * u + v * v < 0.83f * 0.83f; });
    ASSERT_FALSE(l.empty());
    std::nth_element(l.begin(), l.begin() + l.size() * 3 / 4, l.end());
    EXPECT_LE(l[l.size() * 3 / 4], 3.0f) << "the backdrop is stippled at the texel scale";
}
