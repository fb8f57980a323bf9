// Test models written to files: a cube and a UV sphere, as OBJ or PLY, with or without normals/texcoords.
#pragma once

#include <string>
#include <vector>

struct test_model {
    std::vector<float> positions;     // 3 per vertex
    std::vector<float> normals;       // 3 per vertex
    std::vector<float> texcoords;     // 2 per vertex
    std::vector<unsigned> triangles;  // 3 per face, counter-clockwise seen from outside
};

// Unit cube centred on the origin, four vertices per face with the face's normal.
test_model make_cube();

// Sphere of the given radius about centre; a pole row and a seam column repeat positions.
test_model make_sphere(float radius, int rings, int segments, const float centre[3]);

struct file_options {
    bool normals = true;
    bool texcoords = true;
    bool soup = false;  // every face gets vertices of its own (OBJ only), for the welding to undo
};

// Writes the model; false when the file cannot be written.
bool write_obj(const test_model& m, const std::string& path, file_options o);
bool write_ply(const test_model& m, const std::string& path, file_options o);

// ASCII STL: a normal per face (the first corner's), no texture coordinates.
bool write_stl(const test_model& m, const std::string& path);

// Writes text as a file (for the broken models a test spells out).
bool write_text(const std::string& path, const std::string& text);
