// The shared checks: a good baked sphere passes, and each kind of broken data is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "tests/mesh/model_files.h"
#include "tools/mesh/mesh_bake.h"
#include "tools/mesh/mesh_check.h"

namespace {

raw_mesh raw_of(const test_model& t)
{
    return raw_mesh{t.positions, t.normals, t.texcoords,
                    std::vector<uint32_t>(t.triangles.begin(), t.triangles.end())};
}

mesh_arrays baked_sphere(const float centre[3] = nullptr)
{
    const float origin[3] = {0, 0, 0};
    mesh_arrays m;
    std::string error;
    EXPECT_TRUE(bake_mesh(raw_of(make_sphere(1.0f, 12, 20, centre ? centre : origin)), m, error)) << error;
    return m;
}

// True when one of the problems mentions the phrase.
bool names(const mesh_arrays& m, const std::string& phrase)
{
    mesh_report r = check_mesh(view_of(m));
    for (const std::string& p : r.problems)
        if (p.find(phrase) != std::string::npos) return true;
    return false;
}

TEST(mesh_checks, pass_a_good_baked_sphere)
{
    mesh_arrays m = baked_sphere();
    mesh_report r = check_mesh(view_of(m));
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    EXPECT_EQ(r.components, 1u);
    EXPECT_EQ(r.triangles.total - r.triangles.repeated, 2u * 20 * 11);
    EXPECT_EQ(r.triangles.wrong_winding, 0u);
    EXPECT_EQ(r.distinct_positions, 11u * 20 + 2);
}

TEST(mesh_checks, name_broken_strip_tables_and_indices)
{
    mesh_arrays m = baked_sphere();
    m.indices[5] = uint32_t(m.positions.size() / 3);
    EXPECT_TRUE(names(m, "out of range"));

    m = baked_sphere();
    m.strip_lengths[0] += 1;
    EXPECT_TRUE(names(m, "sum to"));

    m = baked_sphere();
    m.indices.insert(m.indices.end(), {0, 1});
    m.strip_lengths.push_back(2);
    EXPECT_TRUE(names(m, "fewer than 3"));

    m = baked_sphere();
    m.strip_lengths.clear();
    m.indices.clear();
    EXPECT_TRUE(names(m, "no strips"));
    EXPECT_TRUE(names(m, "used by no strip"));
}

TEST(mesh_checks, name_broken_vertex_attributes)
{
    mesh_arrays m = baked_sphere();
    m.normals[3] *= 1.001f;
    EXPECT_TRUE(names(m, "not of unit length"));

    m = baked_sphere();
    m.normals[0] = m.normals[1] = m.normals[2] = 0;
    EXPECT_TRUE(names(m, "normals are zero"));

    m = baked_sphere();
    m.texcoords[1] = 1.01f;
    EXPECT_TRUE(names(m, "outside [0, 1]"));

    m = baked_sphere();
    m.positions[4] = NAN;
    EXPECT_TRUE(names(m, "not finite"));

    // an extra copy of vertex 0, used by a strip of its own
    m = baked_sphere();
    uint32_t copy = uint32_t(m.positions.size() / 3);
    m.positions.insert(m.positions.end(), m.positions.begin(), m.positions.begin() + 3);
    m.normals.insert(m.normals.end(), m.normals.begin(), m.normals.begin() + 3);
    m.texcoords.insert(m.texcoords.end(), m.texcoords.begin(), m.texcoords.begin() + 2);
    m.indices.insert(m.indices.end(), {m.indices[0], m.indices[1], copy});
    m.strip_lengths.push_back(3);
    EXPECT_TRUE(names(m, "repeat an earlier vertex"));
}

TEST(mesh_checks, name_faces_wound_against_their_normals)
{
    mesh_arrays m = baked_sphere();
    for (float& n : m.normals) n = -n;
    EXPECT_TRUE(names(m, "clockwise"));

    // one strip with its first two indices swapped turns its triangles over
    m = baked_sphere();
    std::swap(m.indices[0], m.indices[1]);
    strip_triangles t = count_strip_triangles(view_of(m));
    EXPECT_GT(t.wrong_winding, 0u);
}

TEST(mesh_checks, name_two_separate_surfaces)
{
    mesh_arrays m = baked_sphere();
    const float far[3] = {5, 0, 0};
    mesh_arrays other = baked_sphere(far);
    uint32_t base = uint32_t(m.positions.size() / 3);
    m.positions.insert(m.positions.end(), other.positions.begin(), other.positions.end());
    m.normals.insert(m.normals.end(), other.normals.begin(), other.normals.end());
    m.texcoords.insert(m.texcoords.end(), other.texcoords.begin(), other.texcoords.end());
    for (uint32_t i : other.indices) m.indices.push_back(base + i);
    m.strip_lengths.insert(m.strip_lengths.end(), other.strip_lengths.begin(), other.strip_lengths.end());
    EXPECT_TRUE(names(m, "2 separate surfaces"));
}

TEST(mesh_checks, mirror_overlap_tells_symmetric_from_lopsided)
{
    mesh_arrays sphere = baked_sphere();
    for (int axis = 0; axis < 3; ++axis) EXPECT_GT(mirror_overlap(view_of(sphere), axis, 0.0f), 0.95);
    // the same sphere mirrored about a plane off its centre lands mostly elsewhere
    EXPECT_LT(mirror_overlap(view_of(sphere), 0, 0.4f), 0.5);
}

// Every covering triangle of the strips, turned counter-clockwise by the strip rule and started
// at its smallest index, so two strip layouts of the same surface compare equal.
std::multiset<std::array<uint32_t, 3>> oriented_triangles(const mesh_arrays& m)
{
    std::multiset<std::array<uint32_t, 3>> out;
    size_t start = 0;
    for (int32_t len : m.strip_lengths) {
        for (int32_t k = 0; k + 2 < len; ++k) {
            std::array<uint32_t, 3> t = {m.indices[start + k], m.indices[start + k + 1], m.indices[start + k + 2]};
            if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) continue;
            if (k & 1) std::swap(t[0], t[1]);
            std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
            out.insert(t);
        }
        start += size_t(len);
    }
    return out;
}

TEST(mesh_checks, joined_strips_draw_the_same_triangles_the_same_way_round_as_separate_ones)
{
    const float origin[3] = {0, 0, 0};
    raw_mesh raw = raw_of(make_sphere(1.0f, 12, 20, origin));
    mesh_arrays joined, apart;
    std::string error;
    ASSERT_TRUE(bake_mesh(raw, joined, error, true)) << error;
    ASSERT_TRUE(bake_mesh(raw, apart, error, false)) << error;
    EXPECT_EQ(joined.strip_lengths.size(), 1u);
    EXPECT_GT(apart.strip_lengths.size(), 1u) << "the sphere's poles should break the strips";
    EXPECT_EQ(joined.positions, apart.positions);
    EXPECT_EQ(oriented_triangles(joined), oriented_triangles(apart));
    EXPECT_EQ(check_mesh(view_of(joined)).triangles.wrong_winding, 0u);
}

}  // namespace
