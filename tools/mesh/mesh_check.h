// Checks a mesh against every rule the show's strip drawing relies on, and measures its shape.
#pragma once

#include <string>
#include <vector>

#include "tools/mesh/mesh_types.h"

// Triangles the strips make under the strip rule (every second triangle has its first two
// vertices swapped).
struct strip_triangles {
    size_t total;          // n - 2 per strip of n indices
    size_t repeated;       // repeat an index: strip joins that cover no area
    size_t flat;           // three distinct indices but zero area
    size_t wrong_winding;  // clockwise seen from the side the vertex normals point to
};

struct mesh_report {
    std::vector<std::string> problems;  // empty when the mesh may be drawn
    strip_triangles triangles;
    size_t distinct_positions;
    size_t components;  // surfaces, joining triangles at shared positions
};

// Largest share of area-covering triangles allowed to be flat or wound against their normals.
const double k_winding_exception_share = 0.001;

// Unit normals must be unit to within this.
const double k_normal_tolerance = 1e-6;

// Checks counts, strip table, index range and use, unit normals, texcoords in [0, 1], no
// duplicate vertex, counter-clockwise front faces and one connected surface.
mesh_report check_mesh(const mesh_view& m);

strip_triangles count_strip_triangles(const mesh_view& m);

struct box3 {
    float lo[3];
    float hi[3];
};
box3 mesh_bounds(const mesh_view& m);

// Share of the surface (sampled on a grid) whose mirror image about the plane
// coordinate[axis] = plane is surface too: near 1 for a mirror-symmetric model.
double mirror_overlap(const mesh_view& m, int axis, float plane);

// A readable summary: counts, triangles, bounds.
std::string describe_mesh(const mesh_view& m, const mesh_report& r);
