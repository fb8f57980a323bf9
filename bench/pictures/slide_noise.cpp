// Prints the sharp-pixel noise of picture files as the show sees them (middle 74.6 % of the height).
#include "tools/common/image_io.h"
#include "tools/pictures/sharp_noise.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fprintf(argc < 2 ? stderr : stdout,
                     "usage: slide_noise FILE...\n"
                     "Prints, per file, the mean absolute 4-neighbour Laplacian of its luminance (0..255)\n"
                     "over the middle 74.6 %% of its height.\n");
        return argc < 2 ? 2 : 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        decoded_image file = read_image_file(argv[i]);
        if (!file.ok) {
            std::fprintf(stderr, "slide_noise: %s: %s\n", argv[i], file.error.c_str());
            status = 1;
            continue;
        }
        const rgba_image& img = file.image;
        int first, end;
        seen_rows(img.height, &first, &end);
        std::printf("%-28s %6.1f\n", argv[i], sharp_noise(img.pixels.data(), img.width, img.height, 4, first, end));
    }
    return status;
}
