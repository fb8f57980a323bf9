// How grainy a slide looks where it is seen: the mean absolute 4-neighbour Laplacian of its luminance.
#include "tools/pictures/sharp_noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

void seen_rows(int height, int* first, int* end)
{
    *first = int(height * 0.127f);
    *end = height - *first;
}

double sharp_noise(const unsigned char* pixels, int width, int height, int channels, int first, int end)
{
    if (width < 3 || height < 3) return 0.0;
    std::vector<float> lum(size_t(width) * height);
    for (size_t i = 0; i < lum.size(); ++i) {
        const unsigned char* p = pixels + i * channels;
        lum[i] = 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
    }
    first = std::max(first, 1);
    end = std::min(end, height - 1);
    double sum = 0.0;
    long count = 0;
    for (int y = first; y < end; ++y)
        for (int x = 1; x < width - 1; ++x) {
            const float* c = &lum[size_t(y) * width + x];
            sum += std::fabs(4.0f * c[0] - c[-1] - c[1] - c[-width] - c[width]);
            ++count;
        }
    return count ? sum / count : 0.0;
}
