// The scene mesh: the show's one 3D model, constant data linked into the program.
#pragma once

// Draws every strip of the mesh from client arrays where the modelview matrix puts it.
void draw_scene_mesh();
