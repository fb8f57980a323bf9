// The baked scene mesh in a WebAssembly object: scene_mesh.bin, read in pieces with a label on
// each array (a wasm data symbol cannot be set at an offset into another, as the ELF file does).
#include "scene_mesh_layout.h"

    .section .rodata.g_mesh_blob,"",@
    .p2align 4

    .globl g_mesh_vertex_count, g_mesh_index_count, g_mesh_strip_count
    .globl g_mesh_positions, g_mesh_normals, g_mesh_texcoords, g_mesh_indices, g_mesh_strip_lengths

// the header: a word of its own, then the three counts
    .incbin "scene_mesh.bin", 0, 4
g_mesh_vertex_count:
    .incbin "scene_mesh.bin", 4, 4
    .size g_mesh_vertex_count, 4
g_mesh_index_count:
    .incbin "scene_mesh.bin", 8, 4
    .size g_mesh_index_count, 4
g_mesh_strip_count:
    .incbin "scene_mesh.bin", 12, 4
    .size g_mesh_strip_count, 4

g_mesh_positions:
    .incbin "scene_mesh.bin", SCENE_MESH_POSITIONS_OFFSET, SCENE_MESH_NORMALS_OFFSET - SCENE_MESH_POSITIONS_OFFSET
    .size g_mesh_positions, SCENE_MESH_NORMALS_OFFSET - SCENE_MESH_POSITIONS_OFFSET
g_mesh_normals:
    .incbin "scene_mesh.bin", SCENE_MESH_NORMALS_OFFSET, SCENE_MESH_TEXCOORDS_OFFSET - SCENE_MESH_NORMALS_OFFSET
    .size g_mesh_normals, SCENE_MESH_TEXCOORDS_OFFSET - SCENE_MESH_NORMALS_OFFSET
g_mesh_texcoords:
    .incbin "scene_mesh.bin", SCENE_MESH_TEXCOORDS_OFFSET, SCENE_MESH_INDICES_OFFSET - SCENE_MESH_TEXCOORDS_OFFSET
    .size g_mesh_texcoords, SCENE_MESH_INDICES_OFFSET - SCENE_MESH_TEXCOORDS_OFFSET
g_mesh_indices:
    .incbin "scene_mesh.bin", SCENE_MESH_INDICES_OFFSET, SCENE_MESH_STRIP_LENGTHS_OFFSET - SCENE_MESH_INDICES_OFFSET
    .size g_mesh_indices, SCENE_MESH_STRIP_LENGTHS_OFFSET - SCENE_MESH_INDICES_OFFSET
g_mesh_strip_lengths:
    .incbin "scene_mesh.bin", SCENE_MESH_STRIP_LENGTHS_OFFSET, SCENE_MESH_BLOB_SIZE - SCENE_MESH_STRIP_LENGTHS_OFFSET
    .size g_mesh_strip_lengths, SCENE_MESH_BLOB_SIZE - SCENE_MESH_STRIP_LENGTHS_OFFSET
