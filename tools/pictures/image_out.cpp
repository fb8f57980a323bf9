// Writes the generated pictures: JPEG through the shared image writer, PNG through cairo.
#include "tools/pictures/pictures.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <thread>

#include "tools/common/image_io.h"

image8 make_image(int width, int height, int channels)
{
    image8 img;
    img.width = width;
    img.height = height;
    img.channels = channels;
    img.pixels.assign(size_t(width) * height * channels, 0);
    return img;
}

bool write_jpeg(const std::string& path, const image8& img, int quality)
{
    jpeg_options options;
    options.quality = quality;
    // Full-resolution chroma keeps thin coloured edges (sun glints, window lights) clean.
    options.full_chroma = true;
    options.optimize = true;
    if (!write_jpeg(path, img.width, img.height, img.channels, img.pixels.data(), options)) {
        std::fprintf(stderr, "pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// Cairo stores premultiplied native-endian ARGB; an opaque image is written without alpha.
bool write_png(const std::string& path, const image8& img)
{
    cairo_format_t format = img.channels == 4 ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    cairo_surface_t* s = cairo_image_surface_create(format, img.width, img.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height; ++y) {
        uint32_t* dst = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        const unsigned char* src = &img.pixels[size_t(y) * img.width * img.channels];
        for (int x = 0; x < img.width; ++x) {
            const unsigned char* p = src + size_t(x) * img.channels;
            uint32_t a = img.channels == 4 ? p[3] : 255;
            uint32_t r = p[0] * a / 255, g = p[1] * a / 255, b = p[2] * a / 255;
            dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(s);
    cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "pictures: cannot write %s: %s\n", path.c_str(), cairo_status_to_string(st));
        return false;
    }
    return true;
}

void parallel_rows(int height, const std::function<void(int)>& row)
{
    // Interleaved rows keep both cores busy even when the sky is cheap and the ground is not.
    auto worker = [&](int first) {
        for (int y = first; y < height; y += 2) row(y);
    };
    std::thread other(worker, 1);
    worker(0);
    other.join();
}

static unsigned char to_srgb8(float v)
{
    v = v <= 0.0f ? 0.0f : (v >= 1.0f ? 1.0f : v);
    float s = v <= 0.0031308f ? 12.92f * v : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
    return (unsigned char)(s * 255.0f + 0.5f);
}

// A filmic curve (Narkowicz's fit of ACES) so bright skies roll off instead of clipping.
static float filmic(float x)
{
    x = x < 0.0f ? 0.0f : x;
    return (x * (2.51f * x + 0.03f)) / (x * (2.43f * x + 0.59f) + 0.14f);
}

void tone_map(float r, float g, float b, float exposure, unsigned char out[3])
{
    out[0] = to_srgb8(filmic(r * exposure));
    out[1] = to_srgb8(filmic(g * exposure));
    out[2] = to_srgb8(filmic(b * exposure));
}
