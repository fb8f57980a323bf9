// Prints the mean absolute difference of two pictures of one size over their RGB channels, in
// levels of 255: image_difference A.png B.png. Alpha is left out: the page's PNGs carry it, the
// capture's do not.
#include <cstdio>
#include <cstdlib>

#include "tools/common/image_io.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: image_difference A.png B.png\n");
        return 2;
    }
    decoded_image a = read_image_file(argv[1]);
    decoded_image b = read_image_file(argv[2]);
    if (!a.ok || !b.ok) {
        std::fprintf(stderr, "image_difference: %s\n", (!a.ok ? a.error : b.error).c_str());
        return 2;
    }
    if (a.image.width != b.image.width || a.image.height != b.image.height) {
        std::fprintf(stderr, "image_difference: %dx%d against %dx%d\n", a.image.width, a.image.height,
                     b.image.width, b.image.height);
        return 2;
    }
    const std::vector<unsigned char>& p = a.image.pixels;
    const std::vector<unsigned char>& q = b.image.pixels;
    double sum = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        if (i % 4 != 3) sum += std::abs(int(p[i]) - int(q[i]));
    }
    std::printf("%.3f\n", sum / (p.size() / 4 * 3));
    return 0;
}
