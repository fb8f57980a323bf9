// view_mesh: renders a baked mesh as the model scene shows it (sphere-mapped, no lighting) to a PPM.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/mesh/mesh_blob.h"

namespace {

const int k_width = 1024, k_height = 768;

// A stand-in environment: sky fading to a bright horizon, banded ground, two suns.
std::vector<unsigned char> environment_image(int size)
{
    std::vector<unsigned char> rgb(size * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double u = (x + 0.5) / size * 2 - 1, v = (y + 0.5) / size * 2 - 1;
            double r, g, b;
            if (v > 0) {  // sky
                r = 0.25 + 0.5 * (1 - v);
                g = 0.45 + 0.4 * (1 - v);
                b = 0.9;
            } else {  // ground in soft bands
                double band = 0.5 + 0.5 * std::sin(-1.0 / (v - 0.08) * 2.0 + u * 2.0);
                r = 0.2 + 0.35 * band;
                g = 0.15 + 0.25 * band;
                b = 0.1 + 0.12 * band;
            }
            double sun = std::exp(-((u - 0.45) * (u - 0.45) + (v - 0.5) * (v - 0.5)) * 90) +
                0.8 * std::exp(-((u + 0.6) * (u + 0.6) + (v - 0.2) * (v - 0.2)) * 200);
            unsigned char* p = &rgb[(y * size + x) * 3];
            p[0] = (unsigned char)std::fmin(255, 255 * (r + sun));
            p[1] = (unsigned char)std::fmin(255, 255 * (g + sun));
            p[2] = (unsigned char)std::fmin(255, 255 * (b + sun * 0.8));
        }
    return rgb;
}

void draw(const mesh_arrays& m)
{
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, m.texcoords.data());
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, m.normals.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m.positions.data());
    glColor3f(1, 1, 1);
    const uint32_t* strip = m.indices.data();
    for (int32_t len : m.strip_lengths) {
        glDrawElements(GL_TRIANGLE_STRIP, len, GL_UNSIGNED_INT, strip);
        strip += len;
    }
}

bool save_ppm(const std::string& path)
{
    std::vector<unsigned char> px(k_width * k_height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, k_width, k_height, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", k_width, k_height);
    for (int row = k_height - 1; row >= 0; --row) std::fwrite(&px[row * k_width * 3], 1, k_width * 3, f);
    return std::fclose(f) == 0;
}

void print_help()
{
    std::printf("usage: view_mesh [--tilt DEG] [--turn DEG] [--depth Z] BLOB OUTPUT.ppm\n"
                "Draws a baked mesh blob the way the model scene shows it: at (0, 0, -4) by default,\n"
                "tilted about x by --tilt, turned about y by --turn, sphere-mapped with a stand-in\n"
                "environment image and no lighting, and writes the 1024x768 picture as a PPM.\n"
                "Needs an X display (xvfb-run works).\n");
}

}  // namespace

int main(int argc, char** argv)
{
    double tilt = 0, turn = 0, depth = -4;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            print_help();
            return 0;
        } else if ((a == "--tilt" || a == "--turn" || a == "--depth") && i + 1 < argc) {
            double v = std::atof(argv[++i]);
            (a == "--tilt" ? tilt : a == "--turn" ? turn : depth) = v;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "view_mesh: unknown option %s (see --help)\n", a.c_str());
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "view_mesh: give a blob and an output file (see --help)\n");
        return 2;
    }
    mesh_arrays m;
    std::string error;
    if (!read_mesh_blob(files[0], m, error)) {
        std::fprintf(stderr, "view_mesh: %s\n", error.c_str());
        return 1;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(k_width, k_height, 0, SDL_OPENGL)) {
        std::fprintf(stderr, "view_mesh: cannot open a GL window: %s\n", SDL_GetError());
        return 1;
    }
    glViewport(0, 0, k_width, k_height);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, double(k_width) / k_height, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearColor(0.08f, 0.08f, 0.1f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const int env = 512;
    std::vector<unsigned char> image = environment_image(env);
    GLuint tex;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, env, env, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    glEnable(GL_TEXTURE_2D);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);

    glLoadIdentity();
    glTranslatef(0, 0, float(depth));
    glRotatef(float(tilt), 1, 0, 0);
    glRotatef(float(turn), 0, 1, 0);
    draw(m);
    glFinish();
    bool ok = save_ppm(files[1]);
    SDL_Quit();
    if (!ok) std::fprintf(stderr, "view_mesh: cannot write %s\n", files[1].c_str());
    return ok ? 0 : 1;
}
