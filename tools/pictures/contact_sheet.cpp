// The contact sheet: every image of the data folder as a thumbnail with its file name underneath.
#include "tools/pictures/pictures.h"

#include "assets/picture_files.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/common/image_io.h"

// The sheet groups the pictures by role, cut-outs first, each group in load order.
static std::vector<const picture_file*> sheet_order()
{
    std::vector<const picture_file*> order;
    for (picture_role role : {k_title_strip, k_billboard, k_backdrop, k_environment, k_slide})
        for (const picture_file& p : g_picture_files)
            if (p.role == role) order.push_back(&p);
    return order;
}

static const int k_columns = 7, k_cell_w = 230, k_label_h = 40, k_thumb = 210, k_margin = 16;

// A JPEG as an opaque cairo surface; null when it cannot be read.
static cairo_surface_t* load_jpeg(const std::string& path)
{
    decoded_image file = read_image_file(path);
    if (!file.ok) return nullptr;
    const rgba_image& img = file.image;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, img.width, img.height);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height; ++y) {
        uint32_t* dst = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        const unsigned char* src = &img.pixels[size_t(y) * img.width * 4];
        for (int x = 0; x < img.width; ++x)
            dst[x] = 0xff000000u | (uint32_t(src[x * 4]) << 16) | (uint32_t(src[x * 4 + 1]) << 8) | src[x * 4 + 2];
    }
    cairo_surface_mark_dirty(s);
    return s;
}

static cairo_surface_t* load_image(const std::string& path)
{
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0) {
        cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
        if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) return s;
        cairo_surface_destroy(s);
        return nullptr;
    }
    return load_jpeg(path);
}

// Cut-outs sit on a grey checkerboard, so their transparent parts show as such.
static void checkerboard(cairo_t* cr, double x, double y, double w, double h)
{
    const double sq = 8.0;
    for (int j = 0; j * sq < h; ++j)
        for (int i = 0; i * sq < w; ++i) {
            double v = ((i + j) & 1) ? 0.30 : 0.42;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, x + i * sq, y + j * sq, std::min(sq, w - i * sq), std::min(sq, h - j * sq));
            cairo_fill(cr);
        }
}

bool write_contact_sheet(const std::string& data_dir, const std::string& path)
{
    // Load everything first: each row is as tall as its tallest thumbnail.
    bool ok = true;
    std::vector<const picture_file*> order = sheet_order();
    const int count = int(order.size());
    std::vector<cairo_surface_t*> images(count, nullptr);
    const int rows = (count + k_columns - 1) / k_columns;
    std::vector<double> row_h(rows, 0.0);
    for (int i = 0; i < count; ++i) {
        images[i] = load_image(data_dir + "/" + order[i]->file);
        if (!images[i]) {
            std::fprintf(stderr, "pictures: contact sheet cannot read %s/%s\n", data_dir.c_str(), order[i]->file);
            ok = false;
            continue;
        }
        double iw = cairo_image_surface_get_width(images[i]), ih = cairo_image_surface_get_height(images[i]);
        row_h[i / k_columns] = std::max(row_h[i / k_columns], ih * k_thumb / std::max(iw, ih));
    }
    double total_h = k_margin * 2;
    for (double h : row_h) total_h += h + k_label_h;
    int width = k_margin * 2 + k_columns * k_cell_w, height = int(total_h);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.09, 0.09, 0.11);
    cairo_paint(cr);
    double row_top = k_margin;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && i % k_columns == 0) row_top += row_h[i / k_columns - 1] + k_label_h;
        cairo_surface_t* img = images[i];
        if (!img) continue;
        double cx = k_margin + (i % k_columns) * k_cell_w + k_cell_w * 0.5, base = row_top + row_h[i / k_columns];
        double iw = cairo_image_surface_get_width(img), ih = cairo_image_surface_get_height(img);
        double scale = k_thumb / std::max(iw, ih);
        // Thumbnails stand on their name, whatever their height.
        double w = iw * scale, h = ih * scale, x = cx - w * 0.5, y = base - h;
        if (cairo_image_surface_get_format(img) == CAIRO_FORMAT_ARGB32) checkerboard(cr, x, y, w, h);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, img, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(img);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 14.0);
        cairo_text_extents_t e;
        cairo_text_extents(cr, order[i]->file, &e);
        cairo_move_to(cr, cx - e.x_advance * 0.5, base + 22);
        cairo_set_source_rgb(cr, 0.92, 0.92, 0.95);
        cairo_show_text(cr, order[i]->file);
    }
    cairo_destroy(cr);
    cairo_surface_flush(sheet);
    image8 out = make_image(width, height, 3);
    const unsigned char* data = cairo_image_surface_get_data(sheet);
    int stride = cairo_image_surface_get_stride(sheet);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t p = *reinterpret_cast<const uint32_t*>(data + size_t(y) * stride + x * 4);
            unsigned char* o = &out.pixels[(size_t(y) * width + x) * 3];
            o[0] = (p >> 16) & 255;
            o[1] = (p >> 8) & 255;
            o[2] = p & 255;
        }
    cairo_surface_destroy(sheet);
    return write_jpeg(path, out, 85) && ok;
}
