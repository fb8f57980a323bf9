// Texture-coordinate generation on a page: the browser's GL emulation has none, so glTexGeni is our
// stand-in there and keeps the mode asked for; whoever draws generates the coordinates itself.
#pragma once

// True once glTexGeni has set GL_SPHERE_MAP for both s and t.
bool sphere_map_requested();
