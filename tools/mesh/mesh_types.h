// Mesh data in the program's form: the four vertex and index arrays and the strip-length table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the tools build and write: positions and normals 3 floats a vertex, texcoords 2,
// indices of all strips back to back, and one length per strip in draw order.
struct mesh_arrays {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texcoords;
    std::vector<uint32_t> indices;
    std::vector<int32_t> strip_lengths;
};

// The same data seen in place, as it is linked into the program.
struct mesh_view {
    const float* positions;
    const float* normals;
    const float* texcoords;
    const uint32_t* indices;
    const int32_t* strip_lengths;
    size_t vertex_count;
    size_t index_count;
    size_t strip_count;
};

// A view of arrays whose vertex count is taken from the positions.
mesh_view view_of(const mesh_arrays& m);
