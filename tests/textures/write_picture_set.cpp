// Test tool: writes a small picture of the right kind under every path of the texture bank.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "assets/texture_bank.h"
#include "tests/textures/test_images.h"

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: write_picture_set FOLDER\n"
                    "  Writes FOLDER/data/<name> for every picture the texture bank loads: a\n"
                    "  64x64 four-colour PNG (with alpha) or progressive JPEG, by the name's kind.\n");
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "write_picture_set: expected one FOLDER (see --help)\n");
        return 2;
    }
    std::string folder = argv[1];
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/data").c_str(), 0755);
    rgba_image image = quadrant_image(64, 64, {200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}, {200, 200, 0, 0});
    for (const texture_entry& entry : g_texture_table) {
        std::string path = folder + "/" + entry.path;
        bool jpeg = path.compare(path.size() - 4, 4, ".jpg") == 0;
        bool written = jpeg ? write_jpeg_progressive(path, image) : write_png_rgba(path, image);
        if (!written) {
            std::fprintf(stderr, "write_picture_set: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
