// Shared declarations of the picture generator: outputs, rendering jobs and the pictures themselves.
#pragma once
#include <functional>
#include <string>
#include <vector>

// An 8-bit image, rows top to bottom, 3 (RGB) or 4 (RGBA, straight alpha) channels.
struct image8 {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<unsigned char> pixels;
};

image8 make_image(int width, int height, int channels);

// Writers; false (with a message on stderr) when the file cannot be written.
bool write_jpeg(const std::string& path, const image8& img, int quality);
bool write_png(const std::string& path, const image8& img);

// Runs row(y) for every y in [0, height) on two threads.
void parallel_rows(int height, const std::function<void(int)>& row);

// Linear colour to display 8-bit with a filmic curve, after exposure.
void tone_map(float r, float g, float b, float exposure, unsigned char out[3]);

// The pictures, by kind (the slides and the sphere map are Blender's: tools/pictures/blender/).
image8 render_universe(int size);             // square RGB backdrop
image8 render_card(const std::string& name);  // strips and billboards, RGBA, at their listed size
bool is_card_name(const std::string& name);

// The contact sheet of every file in a folder, in load order.
bool write_contact_sheet(const std::string& data_dir, const std::string& path);
