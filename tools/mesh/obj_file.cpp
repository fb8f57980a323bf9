// Wavefront OBJ files written from indexed arrays: the scene model generator's output and the
// mesh tests' models.
#include "tools/mesh/obj_file.h"

#include <cstdio>

static void write_corner(FILE* f, const obj_corner& c)
{
    if (c.texcoord && c.normal) std::fprintf(f, "%u/%u/%u", c.position, c.texcoord, c.normal);
    else if (c.normal) std::fprintf(f, "%u//%u", c.position, c.normal);
    else if (c.texcoord) std::fprintf(f, "%u/%u", c.position, c.texcoord);
    else std::fprintf(f, "%u", c.position);
}

bool write_obj_file(const std::string& path, const obj_model& model)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    if (!model.comment.empty()) std::fprintf(f, "# %s\n", model.comment.c_str());
    const std::vector<float>& p = model.positions;
    const std::vector<float>& n = model.normals;
    const std::vector<float>& t = model.texcoords;
    for (size_t i = 0; i + 2 < p.size(); i += 3) std::fprintf(f, "v %.9g %.9g %.9g\n", p[i], p[i + 1], p[i + 2]);
    for (size_t i = 0; i + 2 < n.size(); i += 3) std::fprintf(f, "vn %.9g %.9g %.9g\n", n[i], n[i + 1], n[i + 2]);
    for (size_t i = 0; i + 1 < t.size(); i += 2) std::fprintf(f, "vt %.9g %.9g\n", t[i], t[i + 1]);
    for (size_t i = 0; i + 2 < model.corners.size(); i += 3) {
        std::fputs("f ", f);
        write_corner(f, model.corners[i]);
        std::fputc(' ', f);
        write_corner(f, model.corners[i + 1]);
        std::fputc(' ', f);
        write_corner(f, model.corners[i + 2]);
        std::fputc('\n', f);
    }
    bool ok = std::ferror(f) == 0;
    return (std::fclose(f) == 0) && ok;
}
