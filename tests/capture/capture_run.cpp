// Test support for the capture tool: runs it headless (no DISPLAY) in a scratch folder, and reads PNGs.
#include "tests/capture/capture_run.h"

#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

std::string scratch_folder(const std::string& name)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/vellamor-capture-test-" + name;
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
    return dir;
}

int run_capture(const std::string& arguments)
{
    std::string command = "cd '" VL_SOURCE_DIR "' && env -u DISPLAY '" VL_CAPTURE "' " + arguments;
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

png_pixels read_png(const std::string& path)
{
    png_pixels out;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        out.rgb.clear();
        return out;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

std::string frame_file(const std::string& dir, int k)
{
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", k);
    return dir + name;
}
