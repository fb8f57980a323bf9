// Test support: small PNG and JPEG files whose corners and bands a test can recognise on screen.
#include "tests/textures/test_images.h"

rgba_image quadrant_image(int width, int height, rgba upper_left, rgba upper_right, rgba lower_left, rgba lower_right)
{
    rgba_image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool top = y < height / 2;
            bool left = x < width / 2;
            rgba c = top ? (left ? upper_left : upper_right) : (left ? lower_left : lower_right);
            unsigned char* p = &image.pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    }
    return image;
}

rgba_image band_image(int width, int height, const std::vector<rgba>& bands)
{
    rgba_image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height * 4);
    int count = static_cast<int>(bands.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgba c = bands[static_cast<size_t>(x * count / width)];
            unsigned char* p = &image.pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    }
    return image;
}

bool write_png_gray(const std::string& path, const rgba_image& image)
{
    std::vector<unsigned char> gray(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < gray.size(); ++i) gray[i] = image.pixels[i * 4];
    return write_png(path, image.width, image.height, 1, gray.data());
}

bool write_jpeg_progressive(const std::string& path, const rgba_image& image)
{
    jpeg_options options;
    options.quality = 95;
    options.progressive = true;
    return write_jpeg(path, image.width, image.height, 4, image.pixels.data(), options);
}

bool write_jpeg_baseline(const std::string& path, const rgba_image& image)
{
    jpeg_options options;
    options.quality = 95;
    return write_jpeg(path, image.width, image.height, 4, image.pixels.data(), options);
}
