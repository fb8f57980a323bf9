// Test models written to files: a cube and a UV sphere, as OBJ or PLY.
#include "tests/mesh/model_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/mesh/obj_file.h"

test_model make_cube()
{
    // each face: normal, then two in-face axes u, v with u x v = normal
    const float faces[6][9] = {
        {1, 0, 0, 0, 1, 0, 0, 0, 1},  {-1, 0, 0, 0, 0, 1, 0, 1, 0}, {0, 1, 0, 0, 0, 1, 1, 0, 0},
        {0, -1, 0, 1, 0, 0, 0, 0, 1}, {0, 0, 1, 1, 0, 0, 0, 1, 0},  {0, 0, -1, 0, 1, 0, 1, 0, 0},
    };
    test_model m;
    for (int f = 0; f < 6; ++f) {
        const float* n = faces[f];
        const float* u = faces[f] + 3;
        const float* v = faces[f] + 6;
        unsigned base = unsigned(m.positions.size() / 3);
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& c : corners) {
            for (int i = 0; i < 3; ++i) m.positions.push_back(0.5f * (n[i] + c[0] * u[i] + c[1] * v[i]));
            m.normals.insert(m.normals.end(), {n[0], n[1], n[2]});
            m.texcoords.insert(m.texcoords.end(), {0.5f + 0.5f * c[0], 0.5f + 0.5f * c[1]});
        }
        m.triangles.insert(m.triangles.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    return m;
}

test_model make_sphere(float radius, int rings, int segments, const float centre[3])
{
    test_model m;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i <= rings; ++i)
        for (int j = 0; j <= segments; ++j) {
            double lat = pi * i / rings, lon = 2 * pi * (j % segments) / segments;
            double n[3] = {std::sin(lat) * std::cos(lon), std::cos(lat), -std::sin(lat) * std::sin(lon)};
            if (i == 0 || i == rings) n[0] = n[2] = 0;  // one pole position, whatever the longitude
            for (int k = 0; k < 3; ++k) {
                m.positions.push_back(float(centre[k] + radius * n[k]));
                m.normals.push_back(float(n[k]));
            }
            m.texcoords.insert(m.texcoords.end(), {float(j) / segments, float(i) / rings});
        }
    auto at = [&](int i, int j) { return unsigned(i * (segments + 1) + j); };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < segments; ++j) {
            unsigned a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if (i > 0) m.triangles.insert(m.triangles.end(), {a, b, d});
            if (i < rings - 1) m.triangles.insert(m.triangles.end(), {d, b, c});
        }
    return m;
}

bool write_obj(const test_model& m, const std::string& path, file_options o)
{
    obj_model out;
    // one entry per vertex in each array, or one per corner in a soup
    auto add_vertex = [&](unsigned v) {
        out.positions.insert(out.positions.end(), &m.positions[3 * v], &m.positions[3 * v + 3]);
        if (o.normals) out.normals.insert(out.normals.end(), &m.normals[3 * v], &m.normals[3 * v + 3]);
        if (o.texcoords) out.texcoords.insert(out.texcoords.end(), &m.texcoords[2 * v], &m.texcoords[2 * v + 2]);
    };
    if (!o.soup)
        for (unsigned v = 0; v < m.positions.size() / 3; ++v) add_vertex(v);
    for (size_t c = 0; c < m.triangles.size(); ++c) {
        if (o.soup) add_vertex(m.triangles[c]);
        unsigned id = o.soup ? unsigned(c + 1) : m.triangles[c] + 1;
        out.corners.push_back({id, o.texcoords ? id : 0, o.normals ? id : 0});
    }
    return write_obj_file(path, out);
}

bool write_ply(const test_model& m, const std::string& path, file_options o)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    size_t n = m.positions.size() / 3;
    std::fprintf(
        f, "ply\nformat ascii 1.0\nelement vertex %zu\nproperty float x\nproperty float y\nproperty float z\n", n);
    if (o.normals) std::fprintf(f, "property float nx\nproperty float ny\nproperty float nz\n");
    if (o.texcoords) std::fprintf(f, "property float s\nproperty float t\n");
    std::fprintf(f, "element face %zu\nproperty list uchar int vertex_indices\nend_header\n", m.triangles.size() / 3);
    for (size_t v = 0; v < n; ++v) {
        std::fprintf(f, "%.9g %.9g %.9g", m.positions[3 * v], m.positions[3 * v + 1], m.positions[3 * v + 2]);
        if (o.normals)
            std::fprintf(f, " %.9g %.9g %.9g", m.normals[3 * v], m.normals[3 * v + 1], m.normals[3 * v + 2]);
        if (o.texcoords) std::fprintf(f, " %.9g %.9g", m.texcoords[2 * v], m.texcoords[2 * v + 1]);
        std::fprintf(f, "\n");
    }
    for (size_t t = 0; t < m.triangles.size(); t += 3)
        std::fprintf(f, "3 %u %u %u\n", m.triangles[t], m.triangles[t + 1], m.triangles[t + 2]);
    return std::fclose(f) == 0;
}

bool write_stl(const test_model& m, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "solid test\n");
    for (size_t t = 0; t < m.triangles.size(); t += 3) {
        const float* n = &m.normals[3 * m.triangles[t]];
        std::fprintf(f, "facet normal %.9g %.9g %.9g\nouter loop\n", n[0], n[1], n[2]);
        for (int k = 0; k < 3; ++k) {
            const float* p = &m.positions[3 * m.triangles[t + k]];
            std::fprintf(f, "vertex %.9g %.9g %.9g\n", p[0], p[1], p[2]);
        }
        std::fprintf(f, "endloop\nendfacet\n");
    }
    std::fprintf(f, "endsolid test\n");
    return std::fclose(f) == 0;
}

bool write_text(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fputs(text.c_str(), f);
    return std::fclose(f) == 0;
}
