// Checks the 28 image files the show ships in data/: type, shape, hard-edged cut-outs, and real picture content.
#include "tests/pictures/decoded_image.h"
#include "tools/pictures/sharp_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

enum quad_shape { STRIP, BILLBOARD, SQUARE };

struct shipped_file {
    const char *name;
    quad_shape shape;
};

static const shipped_file g_files[28] = {
    {"Dimbrane.png", STRIP},      {"Presents.png", STRIP},        {"Rosamelt.png", BILLBOARD},
    {"Flanokk.png", BILLBOARD},   {"VuvedUruvi.jpg", SQUARE},     {"Univers.png", SQUARE},
    {"VexilCredits.png", BILLBOARD}, {"GFXCredit.png", BILLBOARD}, {"MusicCredits.png", BILLBOARD},
    {"Gaming.png", BILLBOARD},    {"Bilde01.jpg", SQUARE},        {"Bilde02.jpg", SQUARE},
    {"Bilde03.jpg", SQUARE},      {"Bilde04.jpg", SQUARE},        {"Bilde05.jpg", SQUARE},
    {"Bilde06.jpg", SQUARE},      {"Bilde07.jpg", SQUARE},        {"Bilde08.jpg", SQUARE},
    {"Bilde09.jpg", SQUARE},      {"Bilde10.jpg", SQUARE},        {"Bilde11.jpg", SQUARE},
    {"Bilde12.jpg", SQUARE},      {"Bilde13.jpg", SQUARE},        {"Bilde14.jpg", SQUARE},
    {"Bilde15.jpg", SQUARE},      {"Bilde16.jpg", SQUARE},        {"Bilde17.jpg", SQUARE},
    {"Zorq1.png", BILLBOARD},
};

// Each file is decoded once for the whole run.
static const decoded_image &shipped(const std::string &name)
{
    static std::map<std::string, decoded_image> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, decode_image_file(std::string(VL_DATA_DIR) + "/" + name)).first;
    return it->second;
}

static bool is_cutout(const shipped_file &f) { return f.shape != SQUARE; }
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
    const decoded_image &img = shipped(f.name);
    ASSERT_TRUE(img.ok) << f.name << ": " << img.error;
    std::string name = f.name;
    std::string want = name.substr(name.size() - 4) == ".png" ? "png" : "jpeg";
    EXPECT_EQ(img.format, want) << f.name;
}

TEST_P(ShippedFile, HasTheProportionsOfItsQuad)
{
    const shipped_file &f = GetParam();
    const decoded_image &img = shipped(f.name);
    ASSERT_TRUE(img.ok) << f.name;
    int ratio = f.shape == STRIP ? 8 : (f.shape == BILLBOARD ? 2 : 1);
    EXPECT_EQ(img.width, img.height * ratio) << f.name << " is " << img.width << "x" << img.height;
    EXPECT_GE(img.width, 512) << f.name << " is too small to fill its quad";
}

TEST_P(ShippedFile, CutoutsAreOpaqueOrClearWithNothingBetween)
{
    const shipped_file &f = GetParam();
    const decoded_image &img = shipped(f.name);
    ASSERT_TRUE(img.ok) << f.name;
    if (!is_cutout(f)) {
        // Pictures cover their quad: any alpha they carry must be fully opaque.
        for (size_t i = 3; i < img.rgba.size(); i += 4) ASSERT_EQ(img.rgba[i], 255) << f.name;
        return;
    }
    ASSERT_TRUE(img.has_alpha) << f.name << " has no alpha channel to cut it out";
    size_t opaque = 0, clear = 0, between = 0;
    for (size_t i = 3; i < img.rgba.size(); i += 4) {
        if (img.rgba[i] == 255) ++opaque;
        else if (img.rgba[i] == 0) ++clear;
        else ++between;
    }
    size_t total = img.rgba.size() / 4;
    EXPECT_EQ(between, 0u) << f.name << " has semi-transparent pixels";
    EXPECT_GE(opaque * 100, total * 3) << f.name << " shows almost nothing";
    EXPECT_GE(clear * 100, total * 20) << f.name << " hides too much of what is behind it";
}

TEST_P(ShippedFile, PicturesHaveRealContent)
{
    const shipped_file &f = GetParam();
    if (is_cutout(f)) return;
    const decoded_image &img = shipped(f.name);
    ASSERT_TRUE(img.ok) << f.name;
    // Slides are judged on the band the screen shows: the middle 74.6 % of their height.
    int y0 = is_slide(f.name) ? int(img.height * 0.127f) : 0, y1 = img.height - y0;
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
    EXPECT_GE(sd, 0.05) << f.name << " is nearly flat";
    EXPECT_GE(colours.size(), 4000u) << f.name << " has too few colours to be a rendered scene";
}

INSTANTIATE_TEST_SUITE_P(AllFiles, ShippedFile, ::testing::ValuesIn(g_files),
                         [](const ::testing::TestParamInfo<shipped_file> &info) {
                             std::string n = info.param.name;
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
        if (!is_slide(f.name)) continue;
        ASSERT_TRUE(shipped(f.name).ok) << f.name;
        thumbs.push_back(thumbnail(shipped(f.name)));
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
                if (img.rgba[(size_t(y) * img.width + x) * 4 + 3] && (x < x_min || x >= x_max || y < y_min)) ++outside;
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
                if (img.rgba[(size_t(y) * img.width + x) * 4 + 3] != 255) continue;
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

// Where the screen shows a slide, neighbouring pixels must not flicker against each other:
// the mean absolute 4-neighbour Laplacian of luminance (0..255) stays at 12 or less.
TEST(Slideshow, EverySlideIsFreeOfPixelGrainWhereItIsSeen)
{
    for (const shipped_file &f : g_files) {
        if (!is_slide(f.name)) continue;
        const decoded_image &img = shipped(f.name);
        ASSERT_TRUE(img.ok) << f.name;
        int first, end;
        seen_rows(img.height, &first, &end);
        EXPECT_LE(sharp_noise(img.rgba.data(), img.width, img.height, 4, first, end), 12.0) << f.name;
    }
}
