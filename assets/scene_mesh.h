// The scene mesh: the show's one 3D model, constant data linked into the program.
#pragma once

#include <cstdint>

// The baked model (assets/scene_mesh.bin, assembled in by scene_mesh_data.S): vertex i is
// (positions[3i..], normals[3i..], texcoords[2i..]); the strips lie back to back in the index
// array, in draw order, one length per strip.
extern "C" {
extern const float g_mesh_positions[];
extern const float g_mesh_normals[];
extern const float g_mesh_texcoords[];
extern const uint32_t g_mesh_indices[];
extern const int32_t g_mesh_strip_lengths[];
extern const int32_t g_mesh_vertex_count;
extern const int32_t g_mesh_index_count;
extern const int32_t g_mesh_strip_count;
}

// Draws every strip of the mesh from client arrays where the modelview matrix puts it.
void draw_scene_mesh();
