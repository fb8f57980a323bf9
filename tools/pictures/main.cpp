// Picture generator: writes the show's images (and a contact sheet of them) from fixed seeds.
#include "tools/pictures/pictures.h"
#include "tools/pictures/slide.h"

#include "assets/picture_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static const int k_jpeg_quality = 84;

static void usage(FILE* f)
{
    std::fprintf(
        f,
        "usage: pictures [--out DIR] [--only NAME[,NAME...]] [--sheet PATH | --no-sheet] [--slide-size N]\n"
        "                [--slide-samples N]\n"
        "       pictures --list\n"
        "Renders the show's images into DIR (default data/).\n"
        "  --out DIR        output folder (must exist)\n"
        "  --only NAMES     render just these files, comma-separated, e.g. Bilde05.jpg,Bilde06.jpg\n"
        "  --sheet PATH     contact sheet of every file (default docs/contact-sheet.jpg)\n"
        "  --no-sheet       do not write the contact sheet\n"
        "  --slide-size N   side of the slideshow pictures, for quick previews (default 1024)\n"
        "  --slide-samples N  N x N samples per slide pixel, for quick previews (default 4)\n"
        "  --list           print every picture: file, role, width, height (load order)\n");
}

// Each role has its renderer; the file's extension picks the writer.
static bool render_one(const picture_file& p, const std::string& dir, int slide_size)
{
    std::string path = dir + "/" + p.file;
    image8 img;
    switch (p.role) {
    case k_slide:  // "BildeNN.jpg"
        if (!has_slide_look(std::atoi(p.file + 5))) {
            std::fprintf(stderr, "pictures: %s has no look in slide_looks.cpp\n", p.file);
            return false;
        }
        img = render_slide(std::atoi(p.file + 5), slide_size);
        break;
    case k_backdrop:
        img = render_universe(p.width);
        break;
    case k_environment:
        img = render_sphere_map(p.width);
        break;
    case k_title_strip:
    case k_billboard:
        img = render_card(p.file);
        break;
    }
    bool jpeg = path.compare(path.size() - 4, 4, ".jpg") == 0;
    return jpeg ? write_jpeg(path, img, k_jpeg_quality) : write_png(path, img);
}

static const char* role_name(picture_role role)
{
    switch (role) {
    case k_title_strip:
        return "title-strip";
    case k_billboard:
        return "billboard";
    case k_slide:
        return "slide";
    case k_backdrop:
        return "backdrop";
    case k_environment:
        return "environment";
    }
    return "?";
}

int main(int argc, char** argv)
{
    std::string out = "data", only, sheet = "docs/contact-sheet.jpg";
    int slide_size = 1024;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == "--help" || a == "-h") {
            usage(stdout);
            return 0;
        } else if (a == "--list") {
            for (const picture_file& p : g_picture_files)
                std::printf("%s %s %d %d\n", p.file, role_name(p.role), p.width, p.height);
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
        if (!find_picture_file(chosen.back().c_str())) {
            std::fprintf(stderr, "pictures: '%s' is not one of the show's images\n", chosen.back().c_str());
            return 2;
        }
        at = comma + 1;
    }
    set_slide_progress(isatty(2));
    auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (const picture_file& p : g_picture_files) {
        if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), p.file) == chosen.end()) continue;
        auto t0 = std::chrono::steady_clock::now();
        bool done = render_one(p, out, slide_size);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-18s %6.2f s%s\n", p.file, s, done ? "" : "  FAILED");
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
