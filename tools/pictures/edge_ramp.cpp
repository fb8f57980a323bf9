// Signed distances to a shape's outline (exact Euclidean distance transform) and the alpha ramp on them.
#include "tools/pictures/edge_ramp.h"

#include <cmath>

// Far beyond any image: stands for "no seed" and stays finite, so the parabola maths never meets inf - inf.
static const float k_far = 1e20f;

// Squared distances along one line to the nearest seed (Felzenszwalb and Huttenlocher's lower
// envelope of parabolas); f holds 0 at the seeds and k_far elsewhere, or a previous pass's result.
static void distance_1d(const float* f, int n, float* d, std::vector<int>& v, std::vector<float>& z)
{
    int k = 0;
    v[0] = 0;
    z[0] = -k_far;
    z[1] = k_far;
    for (int q = 1; q < n; ++q) {
        float s;
        for (;;) {
            int p = v[k];
            s = ((f[q] + float(q) * q) - (f[p] + float(p) * p)) / (2.0f * float(q - p));
            if (s > z[k] || k == 0) break;
            --k;
        }
        if (s <= z[k]) {  // only when k == 0: q beats every earlier parabola
            v[0] = q;
            z[1] = k_far;
            continue;
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = k_far;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < float(q)) ++k;
        float dq = float(q - v[k]);
        d[q] = std::fmin(k_far, dq * dq + f[v[k]]);
    }
}

// Squared distance from every pixel to the nearest pixel where seed is true.
static std::vector<float> squared_distance_to(const std::vector<unsigned char>& mask, bool seed, int w, int h)
{
    std::vector<float> grid(size_t(w) * h);
    for (size_t i = 0; i < grid.size(); ++i) grid[i] = (mask[i] != 0) == seed ? 0.0f : k_far;
    int n = w > h ? w : h;
    std::vector<float> f(n), d(n), z(n + 1);
    std::vector<int> v(n);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) f[y] = grid[size_t(y) * w + x];
        distance_1d(f.data(), h, d.data(), v, z);
        for (int y = 0; y < h; ++y) grid[size_t(y) * w + x] = d[y];
    }
    for (int y = 0; y < h; ++y) {
        float* row = &grid[size_t(y) * w];
        for (int x = 0; x < w; ++x) f[x] = row[x];
        distance_1d(f.data(), w, row, v, z);
    }
    return grid;
}

std::vector<float> signed_distance(const std::vector<unsigned char>& inside, int width, int height)
{
    std::vector<float> to_out = squared_distance_to(inside, false, width, height);
    std::vector<float> to_in = squared_distance_to(inside, true, width, height);
    std::vector<float> sd(inside.size());
    for (size_t i = 0; i < sd.size(); ++i)
        sd[i] = inside[i] ? std::sqrt(to_out[i]) - 0.5f : 0.5f - std::sqrt(to_in[i]);
    return sd;
}

unsigned char ramp_alpha(float d)
{
    float a = k_cut_level + k_ramp_per_texel * d;
    a = a < 0.0f ? 0.0f : (a > 1.0f ? 1.0f : a);
    return (unsigned char)std::lround(a * 255.0f);
}
