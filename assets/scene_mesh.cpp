// The scene mesh. PLACEHOLDER until the baked model lands: draws nothing.
#include "assets/scene_mesh.h"

void draw_scene_mesh()
{
}
