// Measures a mesh's shape: its bounding box, how mirror-symmetric it is, and a printable summary.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "tools/mesh/mesh_check.h"

box3 mesh_bounds(const mesh_view& m)
{
    box3 b{{INFINITY, INFINITY, INFINITY}, {-INFINITY, -INFINITY, -INFINITY}};
    for (size_t v = 0; v < m.vertex_count; ++v)
        for (int k = 0; k < 3; ++k) {
            b.lo[k] = std::min(b.lo[k], m.positions[3 * v + k]);
            b.hi[k] = std::max(b.hi[k], m.positions[3 * v + k]);
        }
    return b;
}

namespace {

// Grid cells, 21 bits per axis, the mirrored axis counted from the plane so that the mirror
// image of cell k is cell -1 - k exactly.
struct cell_grid {
    int axis;
    double plane, size, lo[3];
    uint64_t cell(const double p[3], bool mirrored) const
    {
        uint64_t key = 0;
        for (int k = 0; k < 3; ++k) {
            long long i = k == axis ? (long long)std::floor((p[k] - plane) / size)
                                    : (long long)std::floor((p[k] - lo[k]) / size);
            if (k == axis && mirrored) i = -1 - i;
            key = (key << 21) | (uint64_t(i + (1 << 20)) & 0x1fffff);
        }
        return key;
    }
};

}  // namespace

double mirror_overlap(const mesh_view& m, int axis, float plane)
{
    box3 b = mesh_bounds(m);
    double extent = 0;
    for (int k = 0; k < 3; ++k) extent = std::max(extent, double(b.hi[k]) - b.lo[k]);
    cell_grid g{axis, plane, extent / 64.0, {b.lo[0], b.lo[1], b.lo[2]}};

    // sample every triangle that covers area, at points closer together than half a cell,
    // so the samples do not depend on how the surface was cut into triangles
    std::unordered_set<uint64_t> cells, mirrored;
    size_t start = 0;
    for (size_t s = 0; s < m.strip_count; ++s) {
        for (int32_t k = 0; k + 2 < m.strip_lengths[s]; ++k) {
            const uint32_t* t = m.indices + start + k;
            if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) continue;
            const float* c[3] = {m.positions + 3 * t[0], m.positions + 3 * t[1], m.positions + 3 * t[2]};
            double edge = 0;
            for (int e = 0; e < 3; ++e) {
                const float *a = c[e], *b = c[(e + 1) % 3];
                edge = std::max(edge,
                                std::sqrt(double(a[0] - b[0]) * (a[0] - b[0]) + double(a[1] - b[1]) * (a[1] - b[1]) +
                                          double(a[2] - b[2]) * (a[2] - b[2])));
            }
            int steps = std::max(1, int(std::ceil(edge / (0.5 * g.size))));
            for (int i = 0; i <= steps; ++i)
                for (int j = 0; i + j <= steps; ++j) {
                    double u = double(i) / steps, v = double(j) / steps, p[3];
                    for (int a = 0; a < 3; ++a) p[a] = c[0][a] + u * (c[1][a] - c[0][a]) + v * (c[2][a] - c[0][a]);
                    cells.insert(g.cell(p, false));
                    mirrored.insert(g.cell(p, true));
                }
        }
        start += m.strip_lengths[s];
    }
    if (cells.empty()) return 0;
    size_t both = 0;
    for (uint64_t c : cells) both += mirrored.count(c);
    return double(both) / double(cells.size());
}

std::string describe_mesh(const mesh_view& m, const mesh_report& r)
{
    box3 b = mesh_bounds(m);
    int32_t shortest = m.strip_count ? *std::min_element(m.strip_lengths, m.strip_lengths + m.strip_count) : 0;
    int32_t longest = m.strip_count ? *std::max_element(m.strip_lengths, m.strip_lengths + m.strip_count) : 0;
    char text[1024];
    std::snprintf(text, sizeof text,
                  "vertices %zu (distinct positions %zu)\n"
                  "indices %zu in %zu strips (lengths %d to %d)\n"
                  "triangles %zu: %zu repeat an index, %zu cover area (%zu flat, %zu clockwise)\n"
                  "surfaces %zu\n"
                  "box x %.6g .. %.6g, y %.6g .. %.6g, z %.6g .. %.6g\n",
                  m.vertex_count, r.distinct_positions, m.index_count, m.strip_count, shortest, longest,
                  r.triangles.total, r.triangles.repeated, r.triangles.total - r.triangles.repeated, r.triangles.flat,
                  r.triangles.wrong_winding, r.components, b.lo[0], b.hi[0], b.lo[1], b.hi[1], b.lo[2], b.hi[2]);
    return text;
}
