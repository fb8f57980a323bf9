// Test tool: writes one image file of a named kind, damaged, crafted or good, for the show to load.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/textures/crafted_images.h"

struct crafted_kind {
    const char* name;
    const char* what;
};

static const crafted_kind k_kinds[] = {
    {"huge-jpeg-header", "a small JPEG whose frame header claims 65500 x 65500"},
    {"huge-png-header", "an RGB PNG claiming 40000 x 40000, with 6000 rows of real data"},
    {"png-chunk-past-end", "a PNG whose bKGD chunk length runs past the end of the file"},
    {"png-cut-short", "a PNG with a bKGD chunk, cut to its first 45 bytes"},
    {"jpeg-segment-past-end", "a 20-byte JPEG whose APP0 segment claims 256 bytes"},
    {"png", "a good 64 x 64 four-colour PNG (opaque but its lower right quarter)"},
    {"png-gray", "the four-colour PNG as 8-bit gray (its red channel)"},
    {"png-palette", "the four-colour PNG through a palette, without alpha"},
    {"jpeg", "a good 64 x 64 four-colour JPEG"},
    {"adobe-cmyk-jpeg", "the four-colour JPEG as Adobe YCCK with inverted ink"},
    {"camera-jpeg", "the four colours as a baseline JPEG of 6000 x 4000, as a camera makes"},
};

static file_bytes make(const std::string& kind)
{
    rgba_image image = quadrant_image(64, 64, {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 0});
    if (kind == "huge-jpeg-header") return jpeg_claiming(65500, 65500);
    if (kind == "huge-png-header") return rgb_png_claiming(40000, 40000, 6000);
    if (kind == "png-chunk-past-end") return png_with_chunk_past_end(image);
    if (kind == "png-cut-short") return cut_to(png_with_background(image), 45);
    if (kind == "jpeg-segment-past-end") return jpeg_with_segment_past_end();
    if (kind == "png") return png_bytes(image);
    if (kind == "png-gray") return through_file(write_png_gray, image);
    if (kind == "png-palette") return through_file(write_png_palette, image);
    if (kind == "jpeg") return jpeg_bytes(image);
    if (kind == "adobe-cmyk-jpeg") return adobe_cmyk_jpeg_bytes(image, true);
    if (kind == "camera-jpeg") {
        rgba_image photo =
            quadrant_image(6000, 4000, {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 255});
        return through_file(write_jpeg_baseline, photo);
    }
    return {};
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: write_crafted_image KIND FILE\n  Writes FILE as one of these kinds:\n");
        for (const crafted_kind& k : k_kinds) std::printf("    %-20s %s\n", k.name, k.what);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "write_crafted_image: expected KIND and FILE (see --help)\n");
        return 2;
    }
    file_bytes bytes = make(argv[1]);
    if (bytes.empty()) {
        std::fprintf(stderr, "write_crafted_image: unknown kind '%s' (see --help)\n", argv[1]);
        return 2;
    }
    if (!write_file_bytes(argv[2], bytes)) {
        std::fprintf(stderr, "write_crafted_image: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
