// Pictures larger than a texture may be are decoded reduced: within the side asked for, in their
// proportions, upright, in their colours and with their alpha, for every kind of file the bank reads.
#include <IL/il.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "assets/image_loader.h"
#include "tests/textures/crafted_images.h"

static const rgba k_red = {220, 30, 30, 255};
static const rgba k_green = {30, 200, 40, 255};
static const rgba k_blue = {30, 40, 220, 255};
static const rgba k_clear_yellow = {230, 220, 30, 0};

static file_bytes baseline_jpeg(const rgba_image& image)
{
    return through_file(write_jpeg_baseline, image);
}
static file_bytes adobe_ycck_jpeg(const rgba_image& image)
{
    return adobe_cmyk_jpeg_bytes(image, true);
}
static file_bytes palette_png(const rgba_image& image)
{
    return through_file(write_png_palette, image);
}

struct file_kind {
    const char* name;
    file_bytes (*make)(const rgba_image&);
    bool alpha;  // the file keeps the lower right quarter's transparency
};

static const file_kind k_kinds[] = {
    {"baseline_jpeg", baseline_jpeg, false},        {"progressive_jpeg", jpeg_bytes, false},
    {"adobe_ycck_jpeg", adobe_ycck_jpeg, false},    {"rgba_png", png_bytes, true},
    {"interlaced_png", interlaced_png_bytes, true}, {"palette_png", palette_png, false},
};

static void PrintTo(const file_kind& kind, std::ostream* out)
{
    *out << kind.name;
}

class reduced_picture : public testing::TestWithParam<file_kind> {
  protected:
    static void SetUpTestSuite() { ilInit(); }
    void SetUp() override
    {
        ilGenImages(1, &image);
        ilBindImage(image);
    }
    void TearDown() override { ilDeleteImages(1, &image); }
    ILuint image = 0;
};

// The colour at (x, y) of the bound image, y counted from the top as a viewer sees it.
static rgba pixel_from_top(int x, int y)
{
    int width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
    int channels = ilGetInteger(IL_IMAGE_BPP);
    const unsigned char* p = ilGetData() + (size_t(height - 1 - y) * width + x) * channels;
    return rgba{p[0], p[1], p[2], static_cast<unsigned char>(channels == 4 ? p[3] : 255)};
}

TEST_P(reduced_picture, fits_the_side_keeps_its_proportions_and_shows_its_quarters_upright)
{
    const file_kind& kind = GetParam();
    const uint32_t max_side = 64;
    // wider and taller than the limit, past libjpeg's eighth (so the box filter goes on), and odd
    struct size_case {
        int width, height;
    } sizes[] = {{1000, 600}, {600, 1000}, {301, 77}};
    for (const size_case& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        file_bytes bytes = kind.make(quadrant_image(size.width, size.height, k_red, k_green, k_blue, k_clear_yellow));
        ASSERT_TRUE(decode_checked_image(bytes.data(), bytes.size(), max_side));
        int width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
        EXPECT_LE(width, int(max_side));
        EXPECT_LE(height, int(max_side));
        // no smaller than it need be, and in proportion to within a pixel of the longer side
        EXPECT_GT(std::max(width, height), int(max_side) / 2);
        EXPECT_LE(std::abs(width * size.height - height * size.width), std::max(size.width, size.height));
        EXPECT_EQ(ilGetInteger(IL_IMAGE_FORMAT), kind.alpha ? IL_RGBA : IL_RGB);

        const struct {
            int x, y;
            rgba expected;
        } quarters[] = {{width / 4, height / 4, k_red},
                        {3 * width / 4, height / 4, k_green},
                        {width / 4, 3 * height / 4, k_blue},
                        {3 * width / 4, 3 * height / 4, k_clear_yellow}};
        for (const auto& q : quarters) {
            rgba seen = pixel_from_top(q.x, q.y);
            EXPECT_LE(std::abs(seen.r - q.expected.r), 24) << "red at " << q.x << "," << q.y;
            EXPECT_LE(std::abs(seen.g - q.expected.g), 24) << "green at " << q.x << "," << q.y;
            EXPECT_LE(std::abs(seen.b - q.expected.b), 24) << "blue at " << q.x << "," << q.y;
            EXPECT_EQ(seen.a, kind.alpha ? q.expected.a : 255) << "alpha at " << q.x << "," << q.y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(kinds, reduced_picture, testing::ValuesIn(k_kinds),
                         [](const testing::TestParamInfo<file_kind>& info) { return std::string(info.param.name); });

TEST_F(reduced_picture, a_damaged_or_lying_large_file_is_refused_or_decoded_as_far_as_it_goes)
{
    rgba_image picture = quadrant_image(400, 300, k_red, k_green, k_blue, k_clear_yellow);
    // a well-formed PNG whose image data holds 100 of its 300 rows ends in libpng's error
    file_bytes short_png = rgb_png_claiming(400, 300, 100);
    EXPECT_FALSE(decode_checked_image(short_png.data(), short_png.size(), 64));
    // a JPEG whose scan data stops early is padded out, as DevIL does for smaller ones
    file_bytes jpeg = through_file(write_jpeg_baseline, picture);
    file_bytes cut_jpeg = cut_to(jpeg, jpeg.size() / 2);
    EXPECT_TRUE(decode_checked_image(cut_jpeg.data(), cut_jpeg.size(), 64));
    EXPECT_LE(ilGetInteger(IL_IMAGE_WIDTH), 64);
    // a small baseline JPEG claiming 16000 x 12000 is decoded to within the side, never whole
    file_bytes claiming = jpeg_claiming(16000, 12000, true);
    EXPECT_TRUE(decode_checked_image(claiming.data(), claiming.size(), 64));
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), 63);
    // a progressive one would need every coefficient held, 576 MB: refused before it is decoded
    file_bytes progressive = jpeg_claiming(16000, 12000);
    EXPECT_FALSE(decode_checked_image(progressive.data(), progressive.size(), 64));
}
