// bake_mesh: turns a model file into the mesh blob the program links in, refusing broken models.
#include <cstdio>
#include <string>

#include "tools/mesh/mesh_bake.h"
#include "tools/mesh/mesh_blob.h"
#include "tools/mesh/mesh_check.h"
#include "tools/mesh/mesh_fit.h"

namespace {

void print_help()
{
    std::printf(
        "usage: bake_mesh [--layout HEADER] [--keep-scale] [--quiet] [--separate-strips] MODEL OUTPUT.bin\n"
        "       bake_mesh --check BLOB\n"
        "Reads MODEL (OBJ, PLY, glTF, STL, or any format assimp reads), welds it, fills in smooth\n"
        "unit normals and box-projected texture coordinates where the file has none, builds\n"
        "triangle strips, joins them into one by repeated indices (one draw call for the model)\n"
        "and writes the blob the program links in. The model is refused (message on stderr,\n"
        "exit 1) when it breaks a rule: no faces, an index out of range, a zero normal, texture\n"
        "coordinates outside [0, 1], faces wound against their normals, or more than one\n"
        "connected surface.\n"
        "A model whose bounding box reaches outside the show's model box (x -0.81 .. 1.14,\n"
        "y -0.48 .. 0.48, z -0.89 .. 0.83) is first scaled uniformly, proportions kept, as large\n"
        "as the box holds (one shaped like the show's own model comes out about 2 long), and\n"
        "centred on the box's centre; the output says so. A model inside the box is kept as it is.\n"
        "  --layout HEADER  also write the byte offsets of the arrays, for the assembler\n"
        "  --keep-scale     keep the file's own scale and place, wherever the model lies\n"
        "  --quiet          print nothing on success\n"
        "  --separate-strips  keep the strips apart, one draw call each (for comparisons)\n"
        "  --check BLOB     check an existing blob against the same rules and describe it\n");
}

int check_blob(const std::string& path)
{
    mesh_arrays m;
    std::string error;
    if (!read_mesh_blob(path, m, error)) {
        std::fprintf(stderr, "bake_mesh: %s\n", error.c_str());
        return 1;
    }
    mesh_report r = check_mesh(view_of(m));
    std::printf("%s", describe_mesh(view_of(m), r).c_str());
    for (const std::string& p : r.problems) std::fprintf(stderr, "bake_mesh: %s: %s\n", path.c_str(), p.c_str());
    return r.problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string layout, check;
    std::vector<std::string> files;
    bool quiet = false, join = true;
    bool keep_scale = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            print_help();
            return 0;
        } else if ((a == "--layout" || a == "--check") && i + 1 < argc) {
            (a == "--layout" ? layout : check) = argv[++i];
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--keep-scale") {
            keep_scale = true;
        } else if (a == "--separate-strips") {
            join = false;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "bake_mesh: unknown option %s (see --help)\n", a.c_str());
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (!check.empty()) return files.empty() ? check_blob(check) : 2;
    if (files.size() != 2) {
        std::fprintf(stderr, "bake_mesh: give one model file and one output file (see --help)\n");
        return 2;
    }

    raw_mesh raw;
    mesh_arrays baked;
    model_fit fit;
    std::string error;
    if (!import_model(files[0], raw, error) || (!keep_scale && !fit_into_model_box(raw, fit, error)) ||
        !bake_mesh(raw, baked, error, join)) {
        std::fprintf(stderr, "bake_mesh: %s: %s\n", files[0].c_str(), error.c_str());
        return 1;
    }
    if (!write_mesh_blob(baked, files[1], error) || (!layout.empty() && !write_mesh_layout(baked, layout, error))) {
        std::fprintf(stderr, "bake_mesh: %s\n", error.c_str());
        return 1;
    }
    if (!quiet) {
        if (fit.fitted) std::printf("%s", describe_fit(fit).c_str());
        mesh_view v = view_of(baked);
        std::printf("%s", describe_mesh(v, check_mesh(v)).c_str());
        std::printf("wrote %s, %zu bytes\n", files[1].c_str(),
                    layout_of(v.vertex_count, v.index_count, v.strip_count).size);
    }
    return 0;
}
