// Turns a model file into the program's mesh form: import, weld, fill in normals and texcoords, strip.
#pragma once

#include <string>

#include "tools/mesh/mesh_types.h"

// An indexed triangle list as a model file gives it; normals and texcoords may be missing (empty).
struct raw_mesh {
    std::vector<float> positions;   // 3 per vertex
    std::vector<float> normals;     // 3 per vertex, or none
    std::vector<float> texcoords;   // 2 per vertex, or none
    std::vector<uint32_t> indices;  // 3 per triangle
};

// Reads every triangle of every mesh in a model file (OBJ, PLY, glTF, STL and the other formats
// assimp knows), with node transforms applied; false with a message on failure.
bool import_model(const std::string& path, raw_mesh& out, std::string& error);

// Bakes triangles into strips with unit normals and texcoords in [0, 1], then checks the result;
// false with a message when the model breaks a rule (out-of-range index, zero normal, ...).
// The strips are joined into one with triangles that repeat an index (they cover no area), so
// drawing the model is one call; with join_strips false they stay apart, one call each.
bool bake_mesh(const raw_mesh& in, mesh_arrays& out, std::string& error, bool join_strips = true);
