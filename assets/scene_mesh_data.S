// The baked scene mesh, linked in as read-only data: scene_mesh.bin with a label on each array.
#include "scene_mesh_layout.h"

    .section .rodata
    .balign 16
    .globl g_mesh_blob
    .type g_mesh_blob, @object
g_mesh_blob:
    .incbin "scene_mesh.bin"
    .size g_mesh_blob, . - g_mesh_blob

// assembly stops here if scene_mesh.bin and scene_mesh_layout.h come from different bakes
    .if (. - g_mesh_blob) - SCENE_MESH_BLOB_SIZE
    .error "scene_mesh.bin does not match scene_mesh_layout.h: bake them together"
    .endif

// the counts are read from the blob's own header
    .globl g_mesh_vertex_count, g_mesh_index_count, g_mesh_strip_count
    .set g_mesh_vertex_count, g_mesh_blob + 4
    .set g_mesh_index_count, g_mesh_blob + 8
    .set g_mesh_strip_count, g_mesh_blob + 12

    .globl g_mesh_positions, g_mesh_normals, g_mesh_texcoords, g_mesh_indices, g_mesh_strip_lengths
    .set g_mesh_positions, g_mesh_blob + SCENE_MESH_POSITIONS_OFFSET
    .set g_mesh_normals, g_mesh_blob + SCENE_MESH_NORMALS_OFFSET
    .set g_mesh_texcoords, g_mesh_blob + SCENE_MESH_TEXCOORDS_OFFSET
    .set g_mesh_indices, g_mesh_blob + SCENE_MESH_INDICES_OFFSET
    .set g_mesh_strip_lengths, g_mesh_blob + SCENE_MESH_STRIP_LENGTHS_OFFSET

    .section .note.GNU-stack, "", @progbits
