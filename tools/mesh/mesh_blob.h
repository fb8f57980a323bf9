// The baked mesh file: one little-endian blob that the program links in as read-only data.
//
// Layout (every field 4 bytes, little-endian, no padding):
//   offset 0   magic "VLMS", then vertex count V, index count I, strip count S (int32 each)
//   offset 16  positions  3 floats per vertex  (12 V bytes)
//              normals    3 floats per vertex  (12 V bytes)
//              texcoords  2 floats per vertex  ( 8 V bytes)
//              indices    uint32               ( 4 I bytes)
//              strip lengths int32, draw order ( 4 S bytes)
// The arrays follow one another in that order, so each starts at a multiple of 4 bytes.
#pragma once

#include <string>

#include "tools/mesh/mesh_types.h"

const size_t k_blob_header_bytes = 16;

struct blob_layout {
    size_t positions, normals, texcoords, indices, strip_lengths, size;  // byte offsets, total
};

blob_layout layout_of(size_t vertex_count, size_t index_count, size_t strip_count);

// Writes the blob; false with a message when the file cannot be written.
bool write_mesh_blob(const mesh_arrays& m, const std::string& path, std::string& error);

// Writes the assembler header giving each array's byte offset in the blob.
bool write_mesh_layout(const mesh_arrays& m, const std::string& path, std::string& error);

// Reads a blob back; false with a message when it is not one or its size disagrees.
bool read_mesh_blob(const std::string& path, mesh_arrays& m, std::string& error);
