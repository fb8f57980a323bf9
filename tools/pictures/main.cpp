// Picture generator: writes the show's 28 images (and a contact sheet of them) from fixed seeds.
#include "tools/pictures/pictures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Every file the show loads, in its load order.
static const char *const g_names[28] = {
    "Dimbrane.png", "Presents.png", "Rosamelt.png", "Flanokk.png", "VuvedUruvi.jpg", "Univers.png",
    "VexilCredits.png", "GFXCredit.png", "MusicCredits.png", "Gaming.png", "Bilde01.jpg", "Bilde02.jpg",
    "Bilde03.jpg", "Bilde04.jpg", "Bilde05.jpg", "Bilde06.jpg", "Bilde07.jpg", "Bilde08.jpg",
    "Bilde09.jpg", "Bilde10.jpg", "Bilde11.jpg", "Bilde12.jpg", "Bilde13.jpg", "Bilde14.jpg",
    "Bilde15.jpg", "Bilde16.jpg", "Bilde17.jpg", "Zorq1.png",
};

static const int JPEG_QUALITY = 84;

static void usage(FILE *f)
{
    std::fprintf(f,
                 "usage: pictures [--out DIR] [--only NAME[,NAME...]] [--sheet PATH | --no-sheet] [--slide-size N]\n"
                 "                [--slide-samples N]\n"
                 "Renders the show's images into DIR (default data/).\n"
                 "  --out DIR        output folder (must exist)\n"
                 "  --only NAMES     render just these files, comma-separated, e.g. Bilde05.jpg,Bilde06.jpg\n"
                 "  --sheet PATH     contact sheet of all 28 files (default docs/contact-sheet.jpg)\n"
                 "  --no-sheet       do not write the contact sheet\n"
                 "  --slide-size N   side of the slideshow pictures, for quick previews (default 1024)\n"
                 "  --slide-samples N  N x N samples per slide pixel, for quick previews (default 4)\n");
}

static bool render_one(const std::string &name, const std::string &dir, int slide_size)
{
    std::string path = dir + "/" + name;
    if (name.compare(0, 5, "Bilde") == 0)
        return write_jpeg(path, render_slide(std::atoi(name.c_str() + 5), slide_size), JPEG_QUALITY);
    if (name == "Univers.png") return write_png(path, render_universe());
    if (name == "VuvedUruvi.jpg") return write_jpeg(path, render_sphere_map(), JPEG_QUALITY);
    return write_png(path, render_card(name));
}

static bool known_name(const std::string &name)
{
    for (const char *n : g_names)
        if (name == n) return true;
    return false;
}

int main(int argc, char **argv)
{
    std::string out = "data", only, sheet = "docs/contact-sheet.jpg";
    int slide_size = 1024;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == "--help" || a == "-h") {
            usage(stdout);
            return 0;
        } else if (a == "--out" && has_value) {
            out = argv[++i];
        } else if (a == "--only" && has_value) {
            only = argv[++i];
        } else if (a == "--sheet" && has_value) {
            sheet = argv[++i];
        } else if (a == "--slide-samples" && has_value) {
            int side = std::atoi(argv[++i]);
            if (side < 1 || side > 16) {
                std::fprintf(stderr, "pictures: --slide-samples must be between 1 and 16\n");
                return 2;
            }
            set_slide_samples(side);
        } else if (a == "--no-sheet") {
            sheet.clear();
        } else if (a == "--slide-size" && has_value) {
            slide_size = std::atoi(argv[++i]);
            if (slide_size < 16 || slide_size > 4096) {
                std::fprintf(stderr, "pictures: --slide-size must be between 16 and 4096\n");
                return 2;
            }
        } else {
            std::fprintf(stderr, "pictures: unknown or incomplete option '%s'\n", a.c_str());
            usage(stderr);
            return 2;
        }
    }
    struct stat st;
    if (stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "pictures: output folder '%s' does not exist\n", out.c_str());
        return 1;
    }
    std::vector<std::string> chosen;
    for (size_t at = 0; !only.empty() && at <= only.size();) {
        size_t comma = std::min(only.find(',', at), only.size());
        chosen.push_back(only.substr(at, comma - at));
        if (!known_name(chosen.back())) {
            std::fprintf(stderr, "pictures: '%s' is not one of the show's images\n", chosen.back().c_str());
            return 2;
        }
        at = comma + 1;
    }
    set_slide_progress(isatty(2));
    auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (const char *name : g_names) {
        if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), name) == chosen.end()) continue;
        auto t0 = std::chrono::steady_clock::now();
        bool done = render_one(name, out, slide_size);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-18s %6.2f s%s\n", name, s, done ? "" : "  FAILED");
        std::fflush(stdout);
        ok = ok && done;
    }
    if (ok && !sheet.empty()) {
        ok = write_contact_sheet(out, sheet);
        std::printf("%-18s %s\n", "contact sheet", ok ? sheet.c_str() : "FAILED");
    }
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("total %.1f s\n", total);
    return ok ? 0 : 1;
}
