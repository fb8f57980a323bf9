// Test support for the capture tool: runs it headless (no DISPLAY) in a scratch folder, and reads PNGs.
#include "tests/capture/capture_run.h"

#include "tests/support/shipped_data.h"
#include "tests/support/temp_dir.h"
#include "tools/common/image_io.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

std::string scratch_folder(const std::string& name)
{
    return make_temp_dir("capture-" + name);
}

int run_capture(const std::string& arguments)
{
    std::string command = "cd '" + repository_root() + "' && env -u DISPLAY '" VL_CAPTURE "' " + arguments;
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

png_pixels read_png(const std::string& path)
{
    png_pixels out;
    decoded_image file = read_image_file(path);
    if (!file.ok || file.format != "png") return out;
    out.width = file.image.width;
    out.height = file.image.height;
    out.rgb.reserve(static_cast<std::size_t>(out.width) * out.height * 3);
    for (std::size_t i = 0; i < file.image.pixels.size(); i += 4) {
        out.rgb.insert(out.rgb.end(), &file.image.pixels[i], &file.image.pixels[i + 3]);
    }
    return out;
}

std::string frame_file(const std::string& dir, int k)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", k);
    return dir + name;
}
