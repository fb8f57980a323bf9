// The image check on its own: kinds by signature, the size limits at their bounds, and files whose
// structure leaves them, on files made by real encoders and then cut, patched or crafted.
#include <gtest/gtest.h>

#include <string>

#include "assets/image_guard.h"
#include "tests/textures/crafted_images.h"

static rgba_image small_picture()
{
    return quadrant_image(24, 16, {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 0});
}

static image_check check(const file_bytes& bytes)
{
    return check_image(bytes.data(), bytes.size());
}

// Where the first scan's header ends: a JPEG cut before it has no picture data at all.
static size_t end_of_scan_header(const file_bytes& jpeg)
{
    size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        size_t length = (jpeg[at + 2] << 8) | jpeg[at + 3];
        if (jpeg[at + 1] == 0xDA) return at + 2 + length;
        at += 2 + length;
    }
    return 0;
}

TEST(image_kind, the_signature_decides_whatever_the_bytes_are_called)
{
    image_check png = check(png_bytes(small_picture()));
    EXPECT_EQ(png.kind, k_image_png);
    EXPECT_EQ(png.width, 24u);
    EXPECT_EQ(png.height, 16u);
    image_check jpeg = check(jpeg_bytes(small_picture()));
    EXPECT_EQ(jpeg.kind, k_image_jpeg);
    EXPECT_EQ(jpeg.width, 24u);
    EXPECT_EQ(jpeg.height, 16u);
    EXPECT_EQ(jpeg.ink, k_ink_none);

    // other formats and nothing at all reach no decoder
    const std::string others[] = {
        "",          "GIF89a\x01\x00\x01\x00", "BM\x36\x00\x00\x00", std::string("\x89PNG\r\n\x1a", 7), "\xff\xd8",
        "plain text"};
    for (const std::string& other : others) {
        file_bytes bytes(other.begin(), other.end());
        EXPECT_EQ(check(bytes).kind, k_image_refused) << "'" << other << "'";
    }
}

TEST(image_structure, a_file_cut_anywhere_before_its_picture_data_is_refused)
{
    file_bytes png = png_with_background(small_picture());
    ASSERT_EQ(check(png).kind, k_image_png);
    // a PNG needs every chunk through IEND: any cut at all is refused
    for (size_t size = 0; size < png.size(); ++size) {
        EXPECT_EQ(check(cut_to(png, size)).kind, k_image_refused) << "PNG cut to " << size;
    }

    file_bytes jpeg = jpeg_bytes(small_picture());
    size_t scan = end_of_scan_header(jpeg);
    ASSERT_GT(scan, 0u);
    for (size_t size = 0; size < scan; ++size) {
        EXPECT_EQ(check(cut_to(jpeg, size)).kind, k_image_refused) << "JPEG cut to " << size;
    }
    // cut inside the scan data, the decoder reads what is there and stops
    EXPECT_EQ(check(cut_to(jpeg, scan + 1)).kind, k_image_jpeg);
    // a whole file is taken however its scans and tables follow one another, and a stray end
    // marker before any scan is not a picture
    EXPECT_EQ(check(jpeg).kind, k_image_jpeg);
    EXPECT_EQ(check(adobe_cmyk_jpeg_bytes(small_picture(), true)).kind, k_image_jpeg);
    file_bytes early_end = jpeg;
    early_end.insert(early_end.begin() + 2, {0xFF, 0xD9});
    EXPECT_EQ(check(early_end).kind, k_image_refused);
}

TEST(image_structure, a_png_chunk_claiming_more_than_the_file_holds_is_refused)
{
    file_bytes png = png_with_background(small_picture());
    ASSERT_EQ(check(png).kind, k_image_png);
    EXPECT_EQ(check(png_with_chunk_past_end(small_picture())).kind, k_image_refused);
    // the bKGD chunk's length from one too many up to lengths PNG forbids and 32-bit wrap-around
    const uint32_t lengths[] = {7, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF4u};
    for (uint32_t length : lengths) {
        file_bytes patched = png;
        for (int i = 0; i < 4; ++i) patched[33 + i] = static_cast<unsigned char>(length >> (24 - 8 * i));
        EXPECT_EQ(check(patched).kind, k_image_refused) << "length " << length;
    }
}

TEST(image_structure, a_jpeg_segment_claiming_more_than_the_file_holds_is_refused)
{
    EXPECT_EQ(check(jpeg_with_segment_past_end()).kind, k_image_refused);
    // after the scan data as well as before it
    EXPECT_EQ(check(jpeg_with_comment_past_end(small_picture())).kind, k_image_refused);
    // a frame header one byte longer than what is left of the file
    file_bytes jpeg = jpeg_bytes(small_picture());
    size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at + 1] != 0xC2) at += 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3]);
    ASSERT_LT(at + 4, jpeg.size()) << "no progressive frame header written";
    size_t rest = jpeg.size() - at - 2 + 1;
    jpeg[at + 2] = static_cast<unsigned char>(rest >> 8);
    jpeg[at + 3] = static_cast<unsigned char>(rest);
    EXPECT_EQ(check(jpeg).kind, k_image_refused);
}

TEST(image_size, sides_up_to_16384_are_taken_whatever_the_aspect_and_one_more_is_refused)
{
    EXPECT_EQ(k_image_max_side, 16384u);
    const int at = static_cast<int>(k_image_max_side);
    EXPECT_EQ(check(rgb_png_claiming(at, 1, 0)).kind, k_image_png);
    EXPECT_EQ(check(rgb_png_claiming(1, at, 0)).kind, k_image_png);
    EXPECT_EQ(check(rgb_png_claiming(at + 1, 1, 0)).kind, k_image_refused);
    EXPECT_EQ(check(rgb_png_claiming(1, at + 1, 0)).kind, k_image_refused);
    EXPECT_EQ(check(jpeg_claiming(at, 16)).kind, k_image_jpeg);
    EXPECT_EQ(check(jpeg_claiming(16, at)).kind, k_image_jpeg);
    EXPECT_EQ(check(jpeg_claiming(at + 1, 16)).kind, k_image_refused);
    EXPECT_EQ(check(jpeg_claiming(16, at + 1)).kind, k_image_refused);
    // the crafted headers of the reported crashes, and sides of zero, which no picture has
    EXPECT_EQ(check(jpeg_claiming(65500, 65500)).kind, k_image_refused);
    EXPECT_EQ(check(rgb_png_claiming(40000, 40000, 0)).kind, k_image_refused);
    EXPECT_EQ(check(rgb_png_claiming(0, 16, 0)).kind, k_image_refused);
    EXPECT_EQ(check(jpeg_claiming(16, 0)).kind, k_image_refused);
}

TEST(image_size, pixels_are_held_to_what_cameras_make_in_every_pixel_format)
{
    EXPECT_EQ(k_image_max_pixels, 16384u * 12288u);
    // colour type and bit depth: 16-bit RGBA, 8 bytes a pixel, counts no more than 1-bit gray
    struct format_case {
        int colour_type, depth;
    } formats[] = {{6, 8}, {6, 16}, {2, 8}, {2, 16}, {0, 1}, {0, 16}, {4, 8}, {3, 8}};
    for (const format_case& f : formats) {
        SCOPED_TRACE("colour type " + std::to_string(f.colour_type) + ", depth " + std::to_string(f.depth));
        EXPECT_EQ(check(png_claiming(8192, 6144, f.depth, f.colour_type, 0)).kind, k_image_png);
        EXPECT_EQ(check(png_claiming(16384, 12288, f.depth, f.colour_type, 0)).kind, k_image_png);
        EXPECT_EQ(check(png_claiming(12288, 16384, f.depth, f.colour_type, 0)).kind, k_image_png);
        EXPECT_EQ(check(png_claiming(16384, 12289, f.depth, f.colour_type, 0)).kind, k_image_refused);
        EXPECT_EQ(check(png_claiming(12289, 16384, f.depth, f.colour_type, 0)).kind, k_image_refused);
    }
    EXPECT_EQ(check(jpeg_claiming(16384, 12288)).kind, k_image_jpeg);
    EXPECT_EQ(check(jpeg_claiming(16384, 12289)).kind, k_image_refused);
    // colour types and depths PNG does not have
    EXPECT_EQ(check(png_claiming(16, 16, 8, 5, 0)).kind, k_image_refused);
    EXPECT_EQ(check(png_claiming(16, 16, 4, 2, 0)).kind, k_image_refused);
    EXPECT_EQ(check(png_claiming(16, 16, 16, 3, 0)).kind, k_image_refused);
}

TEST(image_ink, four_channel_jpegs_say_how_their_ink_is_stored)
{
    EXPECT_EQ(check(adobe_cmyk_jpeg_bytes(small_picture(), false)).ink, k_ink_cmyk_inverted);
    EXPECT_EQ(check(adobe_cmyk_jpeg_bytes(small_picture(), true)).ink, k_ink_cmyk_inverted);
    // without the Adobe marker (renamed to another application marker) the ink is plain
    file_bytes plain = adobe_cmyk_jpeg_bytes(small_picture(), false);
    size_t at = 2;
    while (at + 4 <= plain.size() && plain[at + 1] != 0xEE) at += 2 + ((plain[at + 2] << 8) | plain[at + 3]);
    ASSERT_LT(at + 4, plain.size()) << "no Adobe marker written";
    plain[at + 1] = 0xED;
    image_check found = check(plain);
    EXPECT_EQ(found.kind, k_image_jpeg);
    EXPECT_EQ(found.ink, k_ink_cmyk);
}
