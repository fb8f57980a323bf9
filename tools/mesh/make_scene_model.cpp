// Generates the show's model: a trefoil knot drawn as a fluted, twisting tube that swells and thins.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/mesh/obj_file.h"
#include "tools/mesh/model_box.h"

namespace {

struct vec3 {
    double x, y, z;
};

vec3 operator+(vec3 a, vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
vec3 operator-(vec3 a, vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
vec3 operator*(double s, vec3 a)
{
    return {s * a.x, s * a.y, s * a.z};
}
double dot(vec3 a, vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
vec3 cross(vec3 a, vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
vec3 unit(vec3 a)
{
    return (1.0 / std::sqrt(dot(a, a))) * a;
}

const double k_pi = 3.14159265358979323846;

// The model is stretched to fill the show's model box, just inside.
const double k_box_inset = 0.0005;

// Shape of the tube, in the knot's own units (the curve spans about 5.5 across).
const double k_radius_mean = 0.33;   // strands of the knot pass 1.21 apart at their closest
const double k_radius_swell = 0.42;  // share by which the radius swells and thins along the knot
const int k_flutes = 5;              // grooves running along the tube
const int k_flute_turns = 3;         // full turns the grooves make about the tube over the knot
const double k_flute_depth = 0.26;

int g_segments = 420;  // rings along the knot
int g_sides = 48;      // vertices around each ring
std::string g_output;

// A trefoil knot lying in the xz plane, rising and falling in y where its strands cross.
vec3 knot_point(double u)
{
    return {std::sin(u) + 2.0 * std::sin(2.0 * u), -std::sin(3.0 * u),
            std::cos(u) - 2.0 * std::cos(2.0 * u) + 0.35 * std::sin(u + 0.4)};
}

// Tube radius along the knot: one fat lobe, one slender neck, so no turn of the knot repeats another.
double tube_radius(double u)
{
    double swell = std::sin(u + 0.6) + 0.45 * std::sin(2.0 * u + 1.9) + 0.2 * std::cos(4.0 * u);
    return k_radius_mean * (1.0 + k_radius_swell * swell / 1.4);
}

// Grooves fade out where the tube is slender, so the neck stays a smooth round rod.
double flute_depth(double u)
{
    double r = tube_radius(u) / k_radius_mean;
    double w = std::fmin(1.0, std::fmax(0.0, (r - 0.7) / 0.5));
    return k_flute_depth * w;
}

// Builds the ring positions on a periodic grid [segment][side], before fitting into the box.
std::vector<vec3> tube_positions()
{
    int n = g_segments;
    std::vector<vec3> centre(n), tangent(n), normal(n);
    for (int i = 0; i < n; ++i) centre[i] = knot_point(2.0 * k_pi * i / n);
    for (int i = 0; i < n; ++i) tangent[i] = unit(centre[(i + 1) % n] - centre[(i + n - 1) % n]);

    // carry a frame along the curve without spin, then spread the mismatch at the closing ring
    vec3 seed = std::fabs(tangent[0].y) < 0.9 ? vec3{0, 1, 0} : vec3{1, 0, 0};
    normal[0] = unit(seed - dot(seed, tangent[0]) * tangent[0]);
    for (int i = 1; i < n; ++i) {
        vec3 v = normal[i - 1];
        normal[i] = unit(v - dot(v, tangent[i]) * tangent[i]);
    }
    vec3 end = normal[n - 1] - dot(normal[n - 1], tangent[0]) * tangent[0];
    vec3 side0 = cross(tangent[0], normal[0]);
    double mismatch = std::atan2(dot(end, side0), dot(end, normal[0]));

    std::vector<vec3> grid(static_cast<size_t>(n) * g_sides);
    for (int i = 0; i < n; ++i) {
        double u = 2.0 * k_pi * i / n;
        vec3 b = cross(tangent[i], normal[i]);
        double spin = -mismatch * (i + 1.0) / n;
        for (int j = 0; j < g_sides; ++j) {
            double phi = 2.0 * k_pi * j / g_sides;
            double groove = std::cos(k_flutes * phi + k_flute_turns * u);
            double r = tube_radius(u) * (1.0 - flute_depth(u) * (0.5 + 0.5 * groove));
            double a = phi + spin;
            grid[static_cast<size_t>(i) * g_sides + j] = centre[i] + r * (std::cos(a) * normal[i] + std::sin(a) * b);
        }
    }
    return grid;
}

// Stretches the model so its bounding box sits just inside the show's box.
void fit_into_box(std::vector<vec3>& grid)
{
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
    for (const vec3& p : grid) {
        const double c[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::fmin(lo[k], c[k]);
            hi[k] = std::fmax(hi[k], c[k]);
        }
    }
    for (vec3& p : grid) {
        double c[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) {
            double lo_t = k_model_box_lo[k] + k_box_inset, hi_t = k_model_box_hi[k] - k_box_inset;
            c[k] = lo_t + (c[k] - lo[k]) / (hi[k] - lo[k]) * (hi_t - lo_t);
        }
        p = {c[0], c[1], c[2]};
    }
}

// Outward normals from central differences around and along the tube (both periodic).
std::vector<vec3> tube_normals(const std::vector<vec3>& grid)
{
    int n = g_segments, m = g_sides;
    auto at = [&](int i, int j) { return grid[static_cast<size_t>((i + n) % n) * m + (j + m) % m]; };
    std::vector<vec3> normals(grid.size());
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            vec3 along = at(i + 1, j) - at(i - 1, j);
            vec3 around = at(i, j + 1) - at(i, j - 1);
            normals[static_cast<size_t>(i) * m + j] = unit(cross(around, along));
        }
    return normals;
}

// OBJ with shared positions and normals; texture coordinates get their own seam row and column.
bool write_model(const std::vector<vec3>& grid, const std::vector<vec3>& normals)
{
    int n = g_segments, m = g_sides;
    obj_model model;
    model.comment = "Vellamor scene model: fluted trefoil knot, " + std::to_string(n) + " rings of " +
        std::to_string(m) + " sides";
    for (const vec3& p : grid) model.positions.insert(model.positions.end(), {(float)p.x, (float)p.y, (float)p.z});
    for (const vec3& q : normals) model.normals.insert(model.normals.end(), {(float)q.x, (float)q.y, (float)q.z});
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= m; ++j) model.texcoords.insert(model.texcoords.end(), {(float)i / n, (float)j / m});
    // 1-based OBJ indices: position/normal on the periodic grid, texcoord on the open one
    auto pn = [&](int i, int j) { return unsigned((i % n) * m + (j % m) + 1); };
    auto tc = [&](int i, int j) { return unsigned(i * (m + 1) + j + 1); };
    auto corner = [&](int i, int j) { return obj_corner{pn(i, j), tc(i, j), pn(i, j)}; };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            // (i,j) -> (i,j+1) -> (i+1,j+1) turns counter-clockwise seen from outside the tube
            model.corners.insert(model.corners.end(), {corner(i, j), corner(i, j + 1), corner(i + 1, j + 1)});
            model.corners.insert(model.corners.end(), {corner(i, j), corner(i + 1, j + 1), corner(i + 1, j)});
        }
    if (!write_obj_file(g_output, model)) {
        std::fprintf(stderr, "make_scene_model: cannot write %s\n", g_output.c_str());
        return false;
    }
    return true;
}

void print_help()
{
    std::printf("usage: make_scene_model [--segments N] [--sides M] OUTPUT.obj\n"
                "Writes the show's model, a fluted trefoil knot tube, as a Wavefront OBJ file with\n"
                "normals and texture coordinates, fitted into the model scene's bounding box.\n"
                "  --segments N  rings along the knot (default 420, at least 24)\n"
                "  --sides M     vertices around each ring (default 48, at least 8)\n"
                "Bake the result with bake_mesh.\n");
}

bool parse_count(const char* text, int lowest, int& out)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < lowest || v > 100000) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            print_help();
            return 0;
        }
        if ((a == "--segments" || a == "--sides") && i + 1 < argc) {
            bool ok = a == "--segments" ? parse_count(argv[++i], 24, g_segments) : parse_count(argv[++i], 8, g_sides);
            if (!ok) {
                std::fprintf(stderr, "make_scene_model: bad value for %s: %s\n", a.c_str(), argv[i]);
                return 2;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "make_scene_model: unknown option %s (see --help)\n", a.c_str());
            return 2;
        } else if (g_output.empty()) {
            g_output = a;
        } else {
            std::fprintf(stderr, "make_scene_model: more than one output file given\n");
            return 2;
        }
    }
    if (g_output.empty()) {
        std::fprintf(stderr, "make_scene_model: no output file given (see --help)\n");
        return 2;
    }
    std::vector<vec3> grid = tube_positions();
    fit_into_box(grid);
    std::vector<vec3> normals = tube_normals(grid);
    return write_model(grid, normals) ? 0 : 1;
}
