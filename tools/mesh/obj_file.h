// Wavefront OBJ files written from indexed arrays: the scene model generator's output and the
// mesh tests' models.
#pragma once

#include <string>
#include <vector>

// One corner of a face: 1-based indices into the arrays below, 0 where the corner has none.
struct obj_corner {
    unsigned position, texcoord, normal;
};

struct obj_model {
    std::string comment;              // a "# " line at the top when not empty
    std::vector<float> positions;     // 3 per "v" line
    std::vector<float> normals;       // 3 per "vn" line
    std::vector<float> texcoords;     // 2 per "vt" line
    std::vector<obj_corner> corners;  // 3 per triangle, counter-clockwise seen from outside
};

// Writes the model; false when the file cannot be written in full.
bool write_obj_file(const std::string& path, const obj_model& model);
