// Test support for the capture tool: runs it headless (no DISPLAY) in a scratch folder, and reads PNGs.
#include "tests/capture/capture_run.h"

#include "tests/support/shipped_data.h"
#include "tests/support/temp_dir.h"
#include "tools/common/image_io.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

std::string scratch_folder(const std::string& name)
{
    return make_temp_dir("capture-" + name);
}

int run_capture(const std::string& arguments, long& peak_kib)
{
    // the shell execs the tool, so the process waited for is the tool itself
    std::string command = "cd '" + repository_root() + "' && exec env -u DISPLAY '" VL_CAPTURE "' " + arguments;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
    peak_kib = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int run_capture(const std::string& arguments)
{
    long peak_kib = 0;
    return run_capture(arguments, peak_kib);
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
