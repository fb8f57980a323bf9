// Sphere-map texture coordinates as OpenGL generates them (GL_SPHERE_MAP), for a GL without texgen.
#pragma once

// Writes s and t for `count` vertices (positions xyz, normals xyz, back to back) seen through the
// column-major `modelview`: u, the unit vector from the eye to the vertex in eye space; n, the
// normal in eye space (by the inverse transpose, not renormalised, as with GL_NORMALIZE off);
// r = u - 2 n (n . u); m = 2 sqrt(rx^2 + ry^2 + (rz + 1)^2); s = rx / m + 1/2, t = ry / m + 1/2.
void sphere_map_coordinates(const float* modelview, const float* positions, const float* normals, int count,
                            float* st);
