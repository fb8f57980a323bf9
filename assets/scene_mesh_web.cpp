// The scene mesh on a page: the browser's GL emulation takes client-side indices only as 16-bit
// and generates no texture coordinates, so the strips are drawn from 16-bit indices and, under
// sphere mapping, with coordinates made here per vertex from each draw's modelview.
#include "assets/scene_mesh.h"

#include <GL/gl.h>

#include "assets/scene_mesh_layout.h"
#include "assets/sphere_map.h"
#include "platform/gl_texgen_web.h"

static const int k_vertex_count = (SCENE_MESH_NORMALS_OFFSET - SCENE_MESH_POSITIONS_OFFSET) / 12;
static const int k_index_count = (SCENE_MESH_STRIP_LENGTHS_OFFSET - SCENE_MESH_INDICES_OFFSET) / 4;
static_assert(k_vertex_count <= 65536, "the page draws the mesh with 16-bit indices: at most 65536 vertices");

static GLushort g_short_indices[k_index_count];
static bool g_indices_made = false;
static float g_sphere_map[2 * k_vertex_count];

void draw_scene_mesh()
{
    if (!g_indices_made) {
        for (int i = 0; i < k_index_count; ++i) g_short_indices[i] = static_cast<GLushort>(g_mesh_indices[i]);
        g_indices_made = true;
    }

    const float* texcoords = g_mesh_texcoords;
    if (sphere_map_requested()) {
        float modelview[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        sphere_map_coordinates(modelview, g_mesh_positions, g_mesh_normals, k_vertex_count, g_sphere_map);
        texcoords = g_sphere_map;
    }

    // no normals: nothing on the page lights the mesh, and the coordinates are made already
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texcoords);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, g_mesh_positions);
    glColor3f(1.0f, 1.0f, 1.0f);

    const GLushort* strip = g_short_indices;
    for (int32_t s = 0; s < g_mesh_strip_count; ++s) {
        glDrawElements(GL_TRIANGLE_STRIP, g_mesh_strip_lengths[s], GL_UNSIGNED_SHORT, strip);
        strip += g_mesh_strip_lengths[s];
    }
}
