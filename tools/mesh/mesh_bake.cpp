// Bakes an indexed triangle list into the program's form: unit normals, texcoords in [0, 1], strips.
#include "tools/mesh/mesh_bake.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "tools/mesh/mesh_check.h"
#include "tools/mesh/mesh_keys.h"

namespace {

const uint32_t k_restart = 0xffffffffu;

// Texcoords a hair outside [0, 1] (rounding in the file) are pulled in; further out is refused.
const float k_texcoord_slack = 1e-5f;

void cross(const float* a, const float* b, const float* c, double f[3])
{
    double e1[3], e2[3];
    for (int i = 0; i < 3; ++i) {
        e1[i] = double(b[i]) - a[i];
        e2[i] = double(c[i]) - a[i];
    }
    f[0] = e1[1] * e2[2] - e1[2] * e2[1];
    f[1] = e1[2] * e2[0] - e1[0] * e2[2];
    f[2] = e1[0] * e2[1] - e1[1] * e2[0];
}

// Area-weighted face normals summed per position, so seams where texcoords split a vertex stay smooth.
std::vector<float> smooth_normals(const raw_mesh& in)
{
    size_t n = in.positions.size() / 3;
    std::unordered_map<position_key, uint32_t, position_key_hash> ids;
    std::vector<uint32_t> pos_id(n);
    for (size_t v = 0; v < n; ++v)
        pos_id[v] = ids.emplace(make_position_key(&in.positions[3 * v]), uint32_t(ids.size())).first->second;
    std::vector<double> sum(ids.size() * 3, 0.0);
    for (size_t t = 0; t + 2 < in.indices.size(); t += 3) {
        const uint32_t* v = &in.indices[t];
        double f[3];
        cross(&in.positions[3 * v[0]], &in.positions[3 * v[1]], &in.positions[3 * v[2]], f);
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 3; ++i) sum[3 * pos_id[v[k]] + i] += f[i];
    }
    std::vector<float> normals(n * 3);
    for (size_t v = 0; v < n; ++v)
        for (int i = 0; i < 3; ++i) normals[3 * v + i] = float(sum[3 * pos_id[v] + i]);
    return normals;
}

// Scales every used normal to unit length; false at the first zero (or not-a-number) normal.
bool normalise(std::vector<float>& normals, const std::vector<char>& used, std::string& error)
{
    for (size_t v = 0; v < used.size(); ++v) {
        if (!used[v]) continue;
        float* n = &normals[3 * v];
        double len = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        if (!(len > 0) || !std::isfinite(len)) {
            error = "vertex " + std::to_string(v) +
                " has a zero normal (given so in the file, or its faces have no area)";
            return false;
        }
        for (int i = 0; i < 3; ++i) n[i] = float(n[i] / len);
    }
    return true;
}

// Box projection: each vertex takes the two coordinates across its normal's main axis,
// scaled by the model's bounding box into [0, 1].
std::vector<float> box_texcoords(const raw_mesh& in, const std::vector<float>& normals, const std::vector<char>& used)
{
    size_t n = in.positions.size() / 3;
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (size_t v = 0; v < n; ++v)
        for (int i = 0; i < 3 && used[v]; ++i) {
            lo[i] = std::min(lo[i], in.positions[3 * v + i]);
            hi[i] = std::max(hi[i], in.positions[3 * v + i]);
        }
    std::vector<float> tex(n * 2, 0.0f);
    for (size_t v = 0; v < n; ++v) {
        if (!used[v]) continue;
        const float* q = &normals[3 * v];
        int axis = std::fabs(q[0]) >= std::fabs(q[1]) && std::fabs(q[0]) >= std::fabs(q[2]) ? 0
            : std::fabs(q[1]) >= std::fabs(q[2])                                            ? 1
                                                                                            : 2;
        for (int k = 0; k < 2; ++k) {
            int i = (axis + 1 + k) % 3;
            float span = hi[i] - lo[i];
            float s = span > 0 ? (in.positions[3 * v + i] - lo[i]) / span : 0.5f;
            tex[2 * v + k] = std::min(1.0f, std::max(0.0f, s));
        }
    }
    return tex;
}

bool check_texcoords(std::vector<float>& tex, const std::vector<char>& used, std::string& error)
{
    for (size_t v = 0; v < used.size(); ++v) {
        if (!used[v]) continue;
        for (int k = 0; k < 2; ++k) {
            float& s = tex[2 * v + k];
            if (!(s >= -k_texcoord_slack && s <= 1.0f + k_texcoord_slack)) {
                char text[160];
                std::snprintf(text, sizeof text, "vertex %zu has texture coordinates (%g, %g) outside [0, 1]", v,
                              tex[2 * v], tex[2 * v + 1]);
                error = text;
                return false;
            }
            s = std::min(1.0f, std::max(0.0f, s));
        }
    }
    return true;
}

// Checks the file's own structure: faces, index range, attribute counts, finite positions.
bool check_input(const raw_mesh& in, std::vector<char>& used, std::string& error)
{
    size_t n = in.positions.size() / 3;
    if (in.indices.empty() || in.indices.size() % 3 != 0) {
        error = "the model has no triangle faces";
        return false;
    }
    if ((!in.normals.empty() && in.normals.size() != 3 * n) ||
        (!in.texcoords.empty() && in.texcoords.size() != 2 * n)) {
        error = "the model's normals or texture coordinates do not match its vertex count";
        return false;
    }
    used.assign(n, 0);
    for (size_t i = 0; i < in.indices.size(); ++i) {
        if (in.indices[i] >= n) {
            error = "face " + std::to_string(i / 3) + " refers to vertex " + std::to_string(in.indices[i]) +
                " but the model has only " + std::to_string(n) + " vertices";
            return false;
        }
        used[in.indices[i]] = 1;
    }
    for (size_t v = 0; v < n; ++v)
        for (int i = 0; i < 3 && used[v]; ++i)
            if (!std::isfinite(in.positions[3 * v + i])) {
                error = "vertex " + std::to_string(v) + " has a position that is not a number";
                return false;
            }
    return true;
}

// Keeps the triangles that cover area; those that repeat a vertex after welding draw nothing.
std::vector<uint32_t> covering_triangles(const std::vector<uint32_t>& idx, const std::vector<float>& pos,
                                         std::string& error)
{
    std::vector<uint32_t> kept;
    size_t repeated = 0;
    for (size_t t = 0; t < idx.size(); t += 3) {
        uint32_t a = idx[t], b = idx[t + 1], c = idx[t + 2];
        if (a == b || b == c || a == c) {
            ++repeated;
            continue;
        }
        kept.insert(kept.end(), {a, b, c});
    }
    bool any_area = false;
    for (size_t t = 0; t < kept.size() && !any_area; t += 3) {
        double f[3];
        cross(&pos[3 * kept[t]], &pos[3 * kept[t + 1]], &pos[3 * kept[t + 2]], f);
        any_area = f[0] != 0 || f[1] != 0 || f[2] != 0;
    }
    if (!any_area)
        error = "every face of the model is degenerate (" + std::to_string(repeated) +
            " repeat a vertex, the rest have zero area)";
    return any_area ? kept : std::vector<uint32_t>{};
}

// Cuts the restart-separated strip list into the index array and the strip-length table.
void cut_strips(const std::vector<uint32_t>& strip, mesh_arrays& out)
{
    out.indices.clear();
    out.strip_lengths.clear();
    int32_t len = 0;
    for (uint32_t i : strip) {
        if (i == k_restart) {
            if (len) out.strip_lengths.push_back(len);
            len = 0;
            continue;
        }
        out.indices.push_back(i);
        ++len;
    }
    if (len) out.strip_lengths.push_back(len);
}

}  // namespace

bool bake_mesh(const raw_mesh& in, mesh_arrays& out, std::string& error, bool join_strips)
{
    std::vector<char> used;
    if (!check_input(in, used, error)) return false;
    size_t n = in.positions.size() / 3;

    std::vector<float> normals = in.normals.empty() ? smooth_normals(in) : in.normals;
    if (!normalise(normals, used, error)) return false;
    std::vector<float> tex = in.texcoords.empty() ? box_texcoords(in, normals, used) : in.texcoords;
    if (!check_texcoords(tex, used, error)) return false;

    // weld: vertices equal in all three attributes become one
    const meshopt_Stream streams[3] = {{in.positions.data(), 12, 12}, {normals.data(), 12, 12}, {tex.data(), 8, 8}};
    std::vector<uint32_t> remap(n);
    size_t welded =
        meshopt_generateVertexRemapMulti(remap.data(), in.indices.data(), in.indices.size(), n, streams, 3);
    std::vector<float> pos(welded * 3), nor(welded * 3), uv(welded * 2);
    meshopt_remapVertexBuffer(pos.data(), in.positions.data(), n, 12, remap.data());
    meshopt_remapVertexBuffer(nor.data(), normals.data(), n, 12, remap.data());
    meshopt_remapVertexBuffer(uv.data(), tex.data(), n, 8, remap.data());
    std::vector<uint32_t> idx(in.indices.size());
    meshopt_remapIndexBuffer(idx.data(), in.indices.data(), idx.size(), remap.data());

    idx = covering_triangles(idx, pos, error);
    if (idx.empty()) return false;

    // order triangles for strips, then vertices by first use (drops vertices no face uses)
    meshopt_optimizeVertexCacheStrip(idx.data(), idx.data(), idx.size(), welded);
    std::vector<uint32_t> fetch(welded);
    size_t kept = meshopt_optimizeVertexFetchRemap(fetch.data(), idx.data(), idx.size(), welded);
    out.positions.resize(kept * 3);
    out.normals.resize(kept * 3);
    out.texcoords.resize(kept * 2);
    meshopt_remapVertexBuffer(out.positions.data(), pos.data(), welded, 12, fetch.data());
    meshopt_remapVertexBuffer(out.normals.data(), nor.data(), welded, 12, fetch.data());
    meshopt_remapVertexBuffer(out.texcoords.data(), uv.data(), welded, 8, fetch.data());
    meshopt_remapIndexBuffer(idx.data(), idx.data(), idx.size(), fetch.data());

    std::vector<uint32_t> strip(meshopt_stripifyBound(idx.size()));
    // restart index 0 asks the stripifier for joins by repeated indices, keeping every
    // triangle's turning sense across the join
    strip.resize(meshopt_stripify(strip.data(), idx.data(), idx.size(), kept, join_strips ? 0 : k_restart));
    cut_strips(strip, out);

    mesh_report r = check_mesh(view_of(out));
    if (!r.problems.empty()) {
        error = "the baked mesh breaks " + std::to_string(r.problems.size()) + " rule(s):";
        for (const std::string& p : r.problems) error += "\n  " + p;
        return false;
    }
    return true;
}
