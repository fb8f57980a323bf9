// The scene mesh: hands the linked-in arrays to OpenGL and draws the strips one by one.
#include "assets/scene_mesh.h"

#include <GL/gl.h>

// Sets only the client arrays and the colour: texture, texgen and matrices stay the caller's.
void draw_scene_mesh()
{
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, g_mesh_texcoords);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, g_mesh_normals);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, g_mesh_positions);
    glColor3f(1.0f, 1.0f, 1.0f);

    const uint32_t* strip = g_mesh_indices;
    for (int32_t s = 0; s < g_mesh_strip_count; ++s) {
        glDrawElements(GL_TRIANGLE_STRIP, g_mesh_strip_lengths[s], GL_UNSIGNED_INT, strip);
        strip += g_mesh_strip_lengths[s];
    }
}
