// Shrinking pixel rows by a whole factor with a box filter in linear light: supersampled frames
// down to their size, and frames down to their cell of a contact sheet.
#include "tools/capture/box_filter.h"

#include <cmath>
#include <cstdint>
#include <vector>

// Linear light in 16 bits: the darkest steps of sRGB stay apart (code 1 is 20 units), so the
// round trip of an unmixed colour is exact.
static const int k_linear_top = 65535;

struct light_tables {
    std::uint16_t to_linear[256];
    std::vector<unsigned char> to_srgb;  // indexed by linear light, 0..k_linear_top
};

static double srgb_to_linear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

static double linear_to_srgb(double v)
{
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

static light_tables make_light_tables()
{
    light_tables t;
    for (int v = 0; v < 256; ++v) {
        t.to_linear[v] = static_cast<std::uint16_t>(std::lround(srgb_to_linear(v / 255.0) * k_linear_top));
    }
    t.to_srgb.resize(k_linear_top + 1);
    for (int l = 0; l <= k_linear_top; ++l) {
        t.to_srgb[l] = static_cast<unsigned char>(std::lround(linear_to_srgb(l / double(k_linear_top)) * 255.0));
    }
    return t;
}

void shrink_row(const unsigned char* rows, std::ptrdiff_t row_step, int channels, int factor, int out_width,
                unsigned char* out)
{
    static const light_tables tables = make_light_tables();
    const std::uint32_t count = static_cast<std::uint32_t>(factor * factor);
    const std::ptrdiff_t block_step = static_cast<std::ptrdiff_t>(factor) * channels;
    for (int x = 0; x < out_width; ++x, out += 3) {
        const unsigned char* block = rows + x * block_step;
        std::uint32_t sum[3] = {0, 0, 0};
        for (int dy = 0; dy < factor; ++dy) {
            const unsigned char* p = block + dy * row_step;
            for (int dx = 0; dx < factor; ++dx, p += channels) {
                sum[0] += tables.to_linear[p[0]];
                sum[1] += tables.to_linear[p[1]];
                sum[2] += tables.to_linear[p[2]];
            }
        }
        for (int c = 0; c < 3; ++c) out[c] = tables.to_srgb[(sum[c] + count / 2) / count];
    }
}
