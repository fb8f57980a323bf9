// Checks a mesh against the rules the show's strip drawing relies on: the baker and the tests share it.
#include "tools/mesh/mesh_check.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "tools/mesh/mesh_keys.h"

mesh_view view_of(const mesh_arrays& m)
{
    return mesh_view{m.positions.data(),     m.normals.data(),       m.texcoords.data(), m.indices.data(),
                     m.strip_lengths.data(), m.positions.size() / 3, m.indices.size(),   m.strip_lengths.size()};
}

namespace {

// Collects one message per kind of fault: how many, and where the first one is.
struct tally {
    size_t count = 0;
    std::string first;
    void add(const std::string& where)
    {
        if (count++ == 0) first = where;
    }
};

void report_tally(mesh_report& r, const tally& t, const char* what)
{
    if (t.count == 0) return;
    r.problems.push_back(std::to_string(t.count) + " " + what + " (first: " + t.first + ")");
}

std::string vertex_name(size_t i)
{
    return "vertex " + std::to_string(i);
}

// Strip table and indices; false when they are too broken to walk the triangles.
bool check_strips_and_indices(const mesh_view& m, mesh_report& r)
{
    if (m.vertex_count == 0) r.problems.push_back("the mesh has no vertices");
    if (m.index_count == 0) r.problems.push_back("the mesh has no indices");
    if (m.strip_count == 0) r.problems.push_back("the mesh has no strips");

    tally short_strips;
    long long sum = 0;
    for (size_t s = 0; s < m.strip_count; ++s) {
        int32_t len = m.strip_lengths[s];
        if (len < 3) short_strips.add("strip " + std::to_string(s) + " has " + std::to_string(len));
        sum += len;
    }
    report_tally(r, short_strips, "strips have fewer than 3 indices");
    bool sums = sum == static_cast<long long>(m.index_count);
    if (!sums)
        r.problems.push_back("the strip lengths sum to " + std::to_string(sum) + " but there are " +
                             std::to_string(m.index_count) + " indices");

    tally out_of_range, unused;
    std::vector<char> used(m.vertex_count, 0);
    for (size_t i = 0; i < m.index_count; ++i) {
        uint32_t v = m.indices[i];
        if (v >= m.vertex_count)
            out_of_range.add("index " + std::to_string(i) + " is " + std::to_string(v) + ", " +
                             std::to_string(m.vertex_count) + " vertices");
        else used[v] = 1;
    }
    for (size_t v = 0; v < m.vertex_count; ++v)
        if (!used[v]) unused.add(vertex_name(v));
    report_tally(r, out_of_range, "indices are out of range");
    report_tally(r, unused, "vertices are used by no strip");
    return sums && short_strips.count == 0 && out_of_range.count == 0 && m.index_count > 0;
}

void check_attributes(const mesh_view& m, mesh_report& r)
{
    tally bad_position, zero_normal, non_unit, bad_texcoord, duplicate;
    std::unordered_set<vertex_key, vertex_key_hash> seen;
    seen.reserve(m.vertex_count * 2);
    for (size_t v = 0; v < m.vertex_count; ++v) {
        const float* p = m.positions + 3 * v;
        const float* n = m.normals + 3 * v;
        const float* t = m.texcoords + 2 * v;
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) bad_position.add(vertex_name(v));
        double len = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        if (!(len > 0)) {
            zero_normal.add(vertex_name(v));
        } else if (!(std::fabs(len - 1.0) <= k_normal_tolerance)) {
            char text[96];
            std::snprintf(text, sizeof text, "vertex %zu, length %.9g", v, len);
            non_unit.add(text);
        }
        for (int k = 0; k < 2; ++k)
            if (!(t[k] >= 0.0f && t[k] <= 1.0f)) bad_texcoord.add(vertex_name(v));
        if (!seen.insert(make_vertex_key(p, n, t)).second) duplicate.add(vertex_name(v));
    }
    report_tally(r, bad_position, "positions are not finite");
    report_tally(r, zero_normal, "normals are zero (or not a number)");
    report_tally(r, non_unit, "normals are not of unit length");
    report_tally(r, bad_texcoord, "texture coordinates are outside [0, 1]");
    report_tally(r, duplicate, "vertices repeat an earlier vertex in all three attributes");
}

// Union-find over positions, joined by every triangle that covers area.
size_t count_components(const mesh_view& m, size_t& distinct_positions)
{
    std::unordered_map<position_key, uint32_t, position_key_hash> ids;
    ids.reserve(m.vertex_count * 2);
    std::vector<uint32_t> pos_id(m.vertex_count);
    for (size_t v = 0; v < m.vertex_count; ++v) {
        auto it = ids.emplace(make_position_key(m.positions + 3 * v), uint32_t(ids.size())).first;
        pos_id[v] = it->second;
    }
    distinct_positions = ids.size();
    std::vector<uint32_t> parent(ids.size());
    std::iota(parent.begin(), parent.end(), 0u);
    auto root = [&](uint32_t a) {
        while (parent[a] != a) a = parent[a] = parent[parent[a]];
        return a;
    };
    size_t start = 0;
    for (size_t s = 0; s < m.strip_count; ++s) {
        for (int32_t k = 0; k + 2 < m.strip_lengths[s]; ++k) {
            const uint32_t* t = m.indices + start + k;
            if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) continue;
            parent[root(pos_id[t[1]])] = root(pos_id[t[0]]);
            parent[root(pos_id[t[2]])] = root(pos_id[t[0]]);
        }
        start += m.strip_lengths[s];
    }
    size_t roots = 0;
    for (uint32_t i = 0; i < parent.size(); ++i) roots += root(i) == i;
    return roots;
}

}  // namespace

strip_triangles count_strip_triangles(const mesh_view& m)
{
    strip_triangles c{};
    size_t start = 0;
    for (size_t s = 0; s < m.strip_count; ++s) {
        for (int32_t k = 0; k + 2 < m.strip_lengths[s]; ++k) {
            ++c.total;
            uint32_t a = m.indices[start + k], b = m.indices[start + k + 1], v = m.indices[start + k + 2];
            if (k & 1) std::swap(a, b);  // the strip rule keeps every triangle's turning sense
            if (a == b || b == v || a == v) {
                ++c.repeated;
                continue;
            }
            const float *pa = m.positions + 3 * a, *pb = m.positions + 3 * b, *pc = m.positions + 3 * v;
            double e1[3], e2[3], f[3];
            for (int i = 0; i < 3; ++i) {
                e1[i] = double(pb[i]) - pa[i];
                e2[i] = double(pc[i]) - pa[i];
            }
            f[0] = e1[1] * e2[2] - e1[2] * e2[1];
            f[1] = e1[2] * e2[0] - e1[0] * e2[2];
            f[2] = e1[0] * e2[1] - e1[1] * e2[0];
            if (f[0] == 0 && f[1] == 0 && f[2] == 0) {
                ++c.flat;
                continue;
            }
            double facing = 0;
            for (int i = 0; i < 3; ++i)
                facing += f[i] * (double(m.normals[3 * a + i]) + m.normals[3 * b + i] + m.normals[3 * v + i]);
            if (!(facing > 0)) ++c.wrong_winding;
        }
        start += m.strip_lengths[s];
    }
    return c;
}

mesh_report check_mesh(const mesh_view& m)
{
    mesh_report r{};
    bool walkable = check_strips_and_indices(m, r);
    check_attributes(m, r);
    if (!walkable) return r;

    r.triangles = count_strip_triangles(m);
    size_t covering = r.triangles.total - r.triangles.repeated;
    size_t exceptions = r.triangles.flat + r.triangles.wrong_winding;
    size_t allowed = static_cast<size_t>(k_winding_exception_share * double(covering));
    if (covering == 0) {
        r.problems.push_back("no triangle covers any area");
    } else if (exceptions > allowed) {
        r.problems.push_back(std::to_string(r.triangles.wrong_winding) +
                             " triangles run clockwise against their normals and " +
                             std::to_string(r.triangles.flat) + " have zero area, of " + std::to_string(covering) +
                             " (at most " + std::to_string(allowed) + " allowed)");
    }
    r.components = count_components(m, r.distinct_positions);
    if (r.components != 1)
        r.problems.push_back("the triangles form " + std::to_string(r.components) + " separate surfaces, not one");
    return r;
}
