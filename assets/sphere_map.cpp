// Sphere-map texture coordinates as OpenGL generates them (GL_SPHERE_MAP), for a GL without texgen.
#include "assets/sphere_map.h"

#include <cmath>

// The inverse transpose of the modelview's upper 3x3 (rows of the result, for row-vector use):
// its cofactors over its determinant.
static void normal_matrix(const float* m, double n[3][3])
{
    // a[row][column] of the column-major matrix
    double a[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a[r][c] = m[c * 4 + r];
    double cof[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cof[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    }
    double det = a[0][0] * cof[0][0] + a[0][1] * cof[0][1] + a[0][2] * cof[0][2];
    // the inverse transpose is the cofactor matrix over the determinant
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) n[r][c] = det != 0.0 ? cof[r][c] / det : 0.0;
}

void sphere_map_coordinates(const float* modelview, const float* positions, const float* normals, int count, float* st)
{
    const float* m = modelview;
    double nm[3][3];
    normal_matrix(m, nm);
    for (int i = 0; i < count; ++i) {
        const float* p = positions + 3 * i;
        const float* q = normals + 3 * i;
        double e[3], n[3];
        for (int r = 0; r < 3; ++r) {
            e[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
            n[r] = nm[r][0] * q[0] + nm[r][1] * q[1] + nm[r][2] * q[2];
        }
        double length = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
        double u[3] = {e[0] / length, e[1] / length, e[2] / length};
        double nu = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
        double rx = u[0] - 2.0 * n[0] * nu, ry = u[1] - 2.0 * n[1] * nu, rz = u[2] - 2.0 * n[2] * nu;
        double mm = 2.0 * std::sqrt(rx * rx + ry * ry + (rz + 1.0) * (rz + 1.0));
        st[2 * i] = static_cast<float>(rx / mm + 0.5);
        st[2 * i + 1] = static_cast<float>(ry / mm + 0.5);
    }
}
