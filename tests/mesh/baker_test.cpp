// The baker tool: small OBJ and PLY models bake into data that passes the checks; broken ones are refused.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/mesh/model_files.h"
#include "tests/support/temp_dir.h"
#include "tools/mesh/mesh_blob.h"
#include "tools/mesh/mesh_check.h"
#include "tools/mesh/model_box.h"

namespace {

struct run_result {
    int status;
    std::string out, err;
};

std::string read_all(const std::string& path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

run_result run_baker(const std::string& dir, const std::string& args)
{
    std::string cmd = std::string(BAKE_MESH_PATH) + " " + args + " >" + dir + "/out.txt 2>" + dir + "/err.txt";
    int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_all(dir + "/out.txt"), read_all(dir + "/err.txt")};
}

// Bakes a model file with the tool and reads the blob back; the result must pass every check.
// The file's own scale is kept unless `options` say otherwise, so positions can be compared.
mesh_arrays bake_file(const std::string& dir, const std::string& model, const std::string& options = "--keep-scale")
{
    mesh_arrays m;
    run_result r = run_baker(dir, options + " " + model + " " + dir + "/out.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    std::string error;
    EXPECT_TRUE(read_mesh_blob(dir + "/out.bin", m, error)) << error;
    mesh_report report = check_mesh(view_of(m));
    for (const std::string& p : report.problems) ADD_FAILURE() << model << ": " << p;
    return m;
}

size_t covering_triangles(const mesh_arrays& m)
{
    strip_triangles t = count_strip_triangles(view_of(m));
    return t.total - t.repeated;
}

const float k_origin[3] = {0, 0, 0};

struct model_case {
    const char* name;
    bool sphere, ply;
    file_options options;
};

const model_case k_models[] = {
    {"cube_full.obj", false, false, {true, true, false}},
    {"cube_bare.obj", false, false, {false, false, false}},
    {"cube_full.ply", false, true, {true, true, false}},
    {"cube_bare.ply", false, true, {false, false, false}},
    {"sphere_full.obj", true, false, {true, true, false}},
    {"sphere_uv.obj", true, false, {false, true, false}},
    {"sphere_bare.obj", true, false, {false, false, false}},
    {"sphere_normals.ply", true, true, {true, false, false}},
    {"sphere_bare.ply", true, true, {false, false, false}},
};

TEST(baker, bakes_cubes_and_spheres_in_obj_and_ply)
{
    std::string dir = make_temp_dir();
    for (const model_case& c : k_models) {
        SCOPED_TRACE(c.name);
        test_model t = c.sphere ? make_sphere(1.0f, 10, 16, k_origin) : make_cube();
        std::string path = dir + "/" + c.name;
        ASSERT_TRUE(c.ply ? write_ply(t, path, c.options) : write_obj(t, path, c.options));
        mesh_arrays m = bake_file(dir, path);
        mesh_report r = check_mesh(view_of(m));
        EXPECT_EQ(covering_triangles(m), t.triangles.size() / 3);
        EXPECT_EQ(r.distinct_positions, c.sphere ? 9u * 16 + 2 : 8u);
        if (c.sphere && !c.options.normals) {
            // normals made by the baker point straight out of the sphere
            for (size_t v = 0; v < m.positions.size() / 3; ++v) {
                const float* p = &m.positions[3 * v];
                const float* n = &m.normals[3 * v];
                double len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
                EXPECT_GT((p[0] * n[0] + p[1] * n[1] + p[2] * n[2]) / len, 0.99) << "vertex " << v;
            }
        }
    }
}

TEST(baker, keeps_the_files_normals_and_splits_vertices_only_where_attributes_differ)
{
    std::string dir = make_temp_dir();
    ASSERT_TRUE(write_obj(make_cube(), dir + "/cube.obj", {}));
    mesh_arrays cube = bake_file(dir, dir + "/cube.obj");
    EXPECT_EQ(cube.positions.size() / 3, 24u);  // 6 faces of 4 corners, each with its face's normal
    for (size_t i = 0; i < cube.normals.size(); i += 3) {
        float biggest = std::fmax(std::fabs(cube.normals[i]),
                                  std::fmax(std::fabs(cube.normals[i + 1]), std::fabs(cube.normals[i + 2])));
        EXPECT_EQ(biggest, 1.0f) << "normal " << i / 3;
    }

    // every face with vertices of its own welds back into the indexed sphere
    test_model sphere = make_sphere(1.0f, 10, 16, k_origin);
    ASSERT_TRUE(write_obj(sphere, dir + "/indexed.obj", {}));
    file_options soup;
    soup.soup = true;
    ASSERT_TRUE(write_obj(sphere, dir + "/soup.obj", soup));
    mesh_arrays indexed = bake_file(dir, dir + "/indexed.obj");
    mesh_arrays welded = bake_file(dir, dir + "/soup.obj");
    EXPECT_EQ(welded.positions.size(), indexed.positions.size());
    EXPECT_EQ(welded.indices.size(), indexed.indices.size());
}

TEST(baker, bakes_an_stl_cube_into_flat_faces)
{
    std::string dir = make_temp_dir();
    ASSERT_TRUE(write_stl(make_cube(), dir + "/cube.stl"));
    mesh_arrays cube = bake_file(dir, dir + "/cube.stl");
    EXPECT_EQ(cube.positions.size() / 3, 24u);  // each corner once per face, with the face's normal
    EXPECT_EQ(covering_triangles(cube), 12u);
}

std::string base64(const std::string& bytes)
{
    const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t w = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) w |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        if (i + 2 < bytes.size()) w |= uint8_t(bytes[i + 2]);
        for (size_t k = 0; k < 4; ++k) out += i + k <= bytes.size() ? digits[(w >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

// A regular tetrahedron as glTF 2.0: positions and 16-bit indices in one embedded buffer, no normals.
TEST(baker, bakes_a_gltf_tetrahedron)
{
    const float corners[12] = {1, 1, 1, 1, -1, -1, -1, 1, -1, -1, -1, 1};
    const uint16_t faces[12] = {0, 1, 2, 0, 3, 1, 0, 2, 3, 1, 3, 2};
    std::string data(reinterpret_cast<const char*>(corners), sizeof corners);
    data.append(reinterpret_cast<const char*>(faces), sizeof faces);
    std::string gltf = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
                       R"("meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
                       R"("buffers":[{"byteLength":72,"uri":"data:application/octet-stream;base64,)" +
        base64(data) +
        R"("}],)"
        R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":48},{"buffer":0,"byteOffset":48,"byteLength":24}],)"
        R"("accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3","min":[-1,-1,-1],"max":[1,1,1]},)"
        R"({"bufferView":1,"componentType":5123,"count":12,"type":"SCALAR"}]})";
    std::string dir = make_temp_dir();
    ASSERT_TRUE(write_text(dir + "/tetra.gltf", gltf));
    mesh_arrays tetra = bake_file(dir, dir + "/tetra.gltf");
    EXPECT_EQ(covering_triangles(tetra), 4u);
    EXPECT_EQ(check_mesh(view_of(tetra)).distinct_positions, 4u);
    for (size_t v = 0; v < tetra.positions.size() / 3; ++v) {
        const float* p = &tetra.positions[3 * v];
        const float* n = &tetra.normals[3 * v];
        EXPECT_EQ(std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]), 3.0f) << "vertex " << v;
        EXPECT_GT(p[0] * n[0] + p[1] * n[1] + p[2] * n[2], 1.7f) << "normal of vertex " << v << " not outward";
    }
}

struct broken_case {
    const char* name;
    const char* text;
    const char* message;  // part of what stderr must say
};

// clang-format off
const broken_case k_broken[] = {
    {"index_out_of_range.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 9\n", "index"},
    {"index_out_of_range.ply",
     "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
     "element face 2\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n3 0 1 7\n",
     "index"},
    {"zero_normals.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 0\nf 1//1 2//1 3//1\n", "zero normal"},
    {"collinear_faces.obj", "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 3 0 0\nf 1 2 3\nf 2 3 4\n", "zero normal"},
    {"collinear_faces_with_normals.obj",
     "v 0 0 0\nv 1 0 0\nv 2 0 0\nvn 0 0 1\nf 1//1 2//1 3//1\n", "degenerate"},
    {"no_faces.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n", ""},
    {"clockwise.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 3//1 2//1\n", "clockwise"},
    {"two_pieces.obj",
     "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 0 0\nv 6 0 0\nv 5 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\nf 4//1 5//1 6//1\n",
     "2 separate surfaces"},
    {"not_a_number.obj", "v 0 0 0\nv 1000 0 0\nv 0 nan 0\nf 1 2 3\n", "not a finite number"},
    {"texcoords_outside.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 2 0\nvt 0 1\nf 1/1 2/2 3/3\n", "outside [0, 1]"},
};
// clang-format on

TEST(baker, refuses_broken_models_with_a_message_and_failure_status)
{
    std::string dir = make_temp_dir();
    for (const broken_case& c : k_broken) {
        SCOPED_TRACE(c.name);
        std::string path = dir + "/" + c.name;
        ASSERT_TRUE(write_text(path, c.text));
        std::remove((dir + "/out.bin").c_str());
        run_result r = run_baker(dir, path + " " + dir + "/out.bin");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.name), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::ifstream(dir + "/out.bin").good()) << "a refused model left a blob";
    }
    run_result missing = run_baker(dir, dir + "/nothing_here.obj " + dir + "/out.bin");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST(baker, answers_help_and_rejects_bad_usage)
{
    std::string dir = make_temp_dir();
    run_result help = run_baker(dir, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: bake_mesh"), std::string::npos);
    EXPECT_EQ(run_baker(dir, "--frobnicate a b").status, 2);
    EXPECT_EQ(run_baker(dir, "only_one_file.obj").status, 2);
}

TEST(baker, checks_an_existing_blob)
{
    std::string dir = make_temp_dir();
    ASSERT_TRUE(write_obj(make_cube(), dir + "/cube.obj", {}));
    mesh_arrays cube = bake_file(dir, dir + "/cube.obj");
    EXPECT_EQ(run_baker(dir, "--check " + dir + "/out.bin").status, 0);

    cube.indices[0] = 999;
    std::string error;
    ASSERT_TRUE(write_mesh_blob(cube, dir + "/bad.bin", error)) << error;
    run_result r = run_baker(dir, "--check " + dir + "/bad.bin");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("out of range"), std::string::npos) << r.err;

    ASSERT_TRUE(write_text(dir + "/short.bin", "VLMS\x05"));
    EXPECT_EQ(run_baker(dir, "--check " + dir + "/short.bin").status, 1);
}

// The bounding box of a mesh in double, with its centre and extents.
struct extent3 {
    double centre[3], size[3], longest;
};

extent3 extent_of(const float* positions, size_t vertex_count)
{
    mesh_view v{positions, nullptr, nullptr, nullptr, nullptr, vertex_count, 0, 0};
    box3 b = mesh_bounds(v);
    extent3 e{};
    for (int k = 0; k < 3; ++k) {
        e.centre[k] = 0.5 * (double(b.lo[k]) + b.hi[k]);
        e.size[k] = double(b.hi[k]) - b.lo[k];
        e.longest = std::max(e.longest, e.size[k]);
    }
    return e;
}

extent3 model_box_extent()
{
    extent3 e{};
    for (int k = 0; k < 3; ++k) {
        e.centre[k] = 0.5 * (k_model_box_lo[k] + k_model_box_hi[k]);
        e.size[k] = k_model_box_hi[k] - k_model_box_lo[k];
        e.longest = std::max(e.longest, e.size[k]);
    }
    return e;
}

// A sphere stretched into an egg of unequal sides, scaled and moved as given, without normals.
test_model make_egg(const double stretch[3], const double offset[3])
{
    test_model t = make_sphere(1.0f, 12, 20, k_origin);
    for (size_t v = 0; v < t.positions.size() / 3; ++v)
        for (int k = 0; k < 3; ++k)
            t.positions[3 * v + k] = float(t.positions[3 * v + k] * stretch[k] + offset[k]);
    return t;
}

// A model at an odd scale far from the origin comes out centred on the model box, its longest
// side the box's, its proportions those of the file; the output says what was done.
TEST(baker_fit, fits_a_model_at_an_odd_scale_and_place_into_the_model_box)
{
    std::string dir = make_temp_dir();
    const double stretch[3] = {173.25, 346.5, 519.75};
    const double offset[3] = {-4200.5, 315.25, 9600.0};
    test_model egg = make_egg(stretch, offset);
    file_options no_normals;
    no_normals.normals = false;
    ASSERT_TRUE(write_obj(egg, dir + "/egg.obj", no_normals));

    run_result r = run_baker(dir, dir + "/egg.obj " + dir + "/out.bin");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("fitted into the model box"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("--keep-scale"), std::string::npos) << r.out;
    mesh_arrays m;
    std::string error;
    ASSERT_TRUE(read_mesh_blob(dir + "/out.bin", m, error)) << error;
    EXPECT_TRUE(check_mesh(view_of(m)).problems.empty());

    extent3 file = extent_of(egg.positions.data(), egg.positions.size() / 3);
    extent3 fitted = extent_of(m.positions.data(), m.positions.size() / 3);
    extent3 box = model_box_extent();
    // inside the box, filling it on its tightest axis
    double scale = INFINITY, slack = INFINITY;
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(fitted.centre[k], box.centre[k], 1e-4);
        EXPECT_NEAR(fitted.size[k] / fitted.longest, file.size[k] / file.longest, 1e-4) << "proportions changed";
        EXPECT_LE(fitted.size[k], box.size[k] + 1e-4) << "the fitted model leaves the box";
        slack = std::fmin(slack, box.size[k] - fitted.size[k]);
        scale = std::fmin(scale, box.size[k] / file.size[k]);
    }
    EXPECT_NEAR(slack, 0.0, 1e-4) << "the fitted model could be larger";
    // what the scale on stdout says is what was done
    char said[64];
    std::snprintf(said, sizeof said, "scaled by %.6g", scale);
    EXPECT_NE(r.out.find(said), std::string::npos) << r.out;

    // the same file with --keep-scale comes out where the file has it
    run_result kept = run_baker(dir, "--keep-scale " + dir + "/egg.obj " + dir + "/kept.bin");
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out.find("fitted"), std::string::npos) << kept.out;
    ASSERT_TRUE(read_mesh_blob(dir + "/kept.bin", m, error)) << error;
    extent3 own = extent_of(m.positions.data(), m.positions.size() / 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(own.centre[k], file.centre[k], 1e-3 * std::fabs(offset[k]));
        EXPECT_NEAR(own.size[k], file.size[k], 1e-5 * file.size[k]);
    }
}

// Only a model reaching outside the box is moved: one inside stays exactly as the file has it,
// one crossing a single face of the box is fitted.
TEST(baker_fit, fits_only_models_reaching_outside_the_box)
{
    std::string dir = make_temp_dir();
    extent3 box = model_box_extent();
    const double small[3] = {0.3, 0.3, 0.3};
    const double inside[3] = {box.centre[0], box.centre[1], box.centre[2]};
    const double crossing[3] = {k_model_box_hi[0] - 0.1, box.centre[1], box.centre[2]};

    test_model in = make_egg(small, inside);
    ASSERT_TRUE(write_obj(in, dir + "/inside.obj", {}));
    run_result r = run_baker(dir, dir + "/inside.obj " + dir + "/out.bin");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("fitted"), std::string::npos) << r.out;
    mesh_arrays m;
    std::string error;
    ASSERT_TRUE(read_mesh_blob(dir + "/out.bin", m, error)) << error;
    extent3 want = extent_of(in.positions.data(), in.positions.size() / 3);
    extent3 got = extent_of(m.positions.data(), m.positions.size() / 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(got.centre[k], want.centre[k]);
        EXPECT_EQ(got.size[k], want.size[k]);
    }

    ASSERT_TRUE(write_obj(make_egg(small, crossing), dir + "/crossing.obj", {}));
    r = run_baker(dir, dir + "/crossing.obj " + dir + "/out.bin");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("fitted into the model box"), std::string::npos) << r.out;
    ASSERT_TRUE(read_mesh_blob(dir + "/out.bin", m, error)) << error;
    // a round model meets the box's shortest side
    double shortest = std::fmin(box.size[0], std::fmin(box.size[1], box.size[2]));
    EXPECT_NEAR(extent_of(m.positions.data(), m.positions.size() / 3).longest, shortest, 1e-3);
}

}  // namespace
