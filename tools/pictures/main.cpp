// Picture generator: writes the show's cards and backdrop (and a contact sheet of every picture) from fixed seeds.
#include "tools/pictures/pictures.h"

#include "assets/picture_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

static const int k_jpeg_quality = 84;

static void usage(FILE* f)
{
    std::fprintf(f,
                 "usage: pictures [--out DIR] [--only NAME[,NAME...]] [--sheet PATH | --no-sheet]\n"
                 "       pictures --list\n"
                 "Renders the show's cards and backdrop into DIR (default data/), then a contact sheet of every\n"
                 "picture in DIR. The slides and the sphere map are rendered with Blender by\n"
                 "tools/pictures/blender/render_pictures.py.\n"
                 "  --out DIR        output folder (must exist)\n"
                 "  --only NAMES     render just these files, comma-separated, e.g. Gaming.png,Univers.png\n"
                 "  --sheet PATH     contact sheet of every file (default docs/contact-sheet.jpg)\n"
                 "  --no-sheet       do not write the contact sheet\n"
                 "  --list           print every picture: file, role, width, height, maker (load order)\n");
}

// The slides and the sphere map are path-traced scenes, rendered with Blender (the driver there makes
// the same two roles); this generator makes the rest.
static bool made_with_blender(picture_role role)
{
    return role == k_slide || role == k_environment;
}

// Each role has its renderer; the file's extension picks the writer.
static bool render_one(const picture_file& p, const std::string& dir)
{
    std::string path = dir + "/" + p.file;
    image8 img;
    if (p.role == k_backdrop) img = render_universe(p.width);
    else img = render_card(p.file);
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
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == "--help" || a == "-h") {
            usage(stdout);
            return 0;
        } else if (a == "--list") {
            for (const picture_file& p : g_picture_files)
                std::printf("%s %s %d %d %s\n", p.file, role_name(p.role), p.width, p.height,
                            made_with_blender(p.role) ? "blender" : "generator");
            return 0;
        } else if (a == "--out" && has_value) {
            out = argv[++i];
        } else if (a == "--only" && has_value) {
            only = argv[++i];
        } else if (a == "--sheet" && has_value) {
            sheet = argv[++i];
        } else if (a == "--no-sheet") {
            sheet.clear();
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
        const picture_file* p = find_picture_file(chosen.back().c_str());
        if (!p) {
            std::fprintf(stderr, "pictures: '%s' is not one of the show's images\n", chosen.back().c_str());
            return 2;
        }
        if (made_with_blender(p->role)) {
            std::fprintf(stderr,
                         "pictures: '%s' is rendered with Blender: tools/pictures/blender/render_pictures.py\n",
                         p->file);
            return 2;
        }
        at = comma + 1;
    }
    auto start = std::chrono::steady_clock::now();
    bool ok = true;
    for (const picture_file& p : g_picture_files) {
        if (made_with_blender(p.role)) continue;
        if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), p.file) == chosen.end()) continue;
        auto t0 = std::chrono::steady_clock::now();
        bool done = render_one(p, out);
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
