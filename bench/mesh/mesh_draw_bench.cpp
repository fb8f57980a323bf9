// Frames per second of the scene mesh at 1024x768, sphere-mapped as the show draws it: one call per
// strip (the show's way) beside the same strips in one glMultiDrawElements call, for the show's
// model and for the earlier full-detail model with its strips apart (read from a blob).
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/scene_mesh.h"
#include "tools/mesh/mesh_blob.h"

namespace {

bool g_window_open = false;
mesh_arrays g_earlier;
bool g_earlier_read = false;

// The show's projection and depth test, a bound environment texture with sphere-map texgen on s and t.
bool open_window()
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(1024, 768, 0, SDL_OPENGL)) {
        std::fprintf(stderr, "mesh_draw_bench: no GL window: %s\n", SDL_GetError());
        return false;
    }
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 1024.0 / 768.0, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    static unsigned char image[256 * 256 * 3];
    for (int i = 0; i < 256 * 256; ++i) {
        image[3 * i] = (unsigned char)(i % 256);
        image[3 * i + 1] = (unsigned char)(i / 256);
        image[3 * i + 2] = (unsigned char)((i % 256) ^ (i / 256));
    }
    GLuint texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, image);
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    return true;
}

// The model scene's placement at its rest position, tilted as at the middle of a sway.
void begin_frame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -4);
    glRotatef(25, 1, 0, 0);
}

// fps counts wall-clock time (UseRealTime): llvmpipe renders on threads of its own
void add_counts(benchmark::State& state, const mesh_view& m)
{
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["vertices"] = double(m.vertex_count);
    state.counters["indices"] = double(m.index_count);
    state.counters["strips"] = double(m.strip_count);
}

mesh_view linked_mesh()
{
    return mesh_view{g_mesh_positions,           g_mesh_normals,
                     g_mesh_texcoords,           g_mesh_indices,
                     g_mesh_strip_lengths,       size_t(g_mesh_vertex_count),
                     size_t(g_mesh_index_count), size_t(g_mesh_strip_count)};
}

// What draw_scene_mesh does, for any mesh: arrays, white, one call per strip.
void set_arrays(const mesh_view& m)
{
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, m.texcoords);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, m.normals);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m.positions);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void draw_per_strip(const mesh_view& m)
{
    set_arrays(m);
    const uint32_t* strip = m.indices;
    for (size_t s = 0; s < m.strip_count; ++s) {
        glDrawElements(GL_TRIANGLE_STRIP, m.strip_lengths[s], GL_UNSIGNED_INT, strip);
        strip += m.strip_lengths[s];
    }
}

void multi_draw(benchmark::State& state, const mesh_view& m)
{
    std::vector<const void*> starts;
    const uint32_t* strip = m.indices;
    for (size_t s = 0; s < m.strip_count; ++s) {
        starts.push_back(strip);
        strip += m.strip_lengths[s];
    }
    set_arrays(m);
    for (auto _ : state) {
        begin_frame();
        glMultiDrawElements(GL_TRIANGLE_STRIP, m.strip_lengths, GL_UNSIGNED_INT, starts.data(),
                            GLsizei(m.strip_count));
        glFinish();
    }
    add_counts(state, m);
}

// The show's model through the show's own draw_scene_mesh.
void show_model_per_strip(benchmark::State& state)
{
    if (!g_window_open) return state.SkipWithError("no GL window");
    for (auto _ : state) {
        begin_frame();
        draw_scene_mesh();
        glFinish();
    }
    add_counts(state, linked_mesh());
}

void show_model_one_multi_draw(benchmark::State& state)
{
    if (!g_window_open) return state.SkipWithError("no GL window");
    multi_draw(state, linked_mesh());
}

void earlier_model_per_strip(benchmark::State& state)
{
    if (!g_window_open || !g_earlier_read) return state.SkipWithError("no GL window or no earlier model");
    mesh_view m = view_of(g_earlier);
    for (auto _ : state) {
        begin_frame();
        draw_per_strip(m);
        glFinish();
    }
    add_counts(state, m);
}

void earlier_model_one_multi_draw(benchmark::State& state)
{
    if (!g_window_open || !g_earlier_read) return state.SkipWithError("no GL window or no earlier model");
    multi_draw(state, view_of(g_earlier));
}

// What a frame costs without the model: the clear and the wait.
void clear_only(benchmark::State& state)
{
    if (!g_window_open) return state.SkipWithError("no GL window");
    for (auto _ : state) {
        begin_frame();
        glFinish();
    }
    add_counts(state, mesh_view{});
}

BENCHMARK(earlier_model_per_strip)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(earlier_model_one_multi_draw)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(show_model_per_strip)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(show_model_one_multi_draw)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(clear_only)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::string error;
    g_earlier_read = read_mesh_blob(VL_EARLIER_MODEL, g_earlier, error);
    if (!g_earlier_read) std::fprintf(stderr, "mesh_draw_bench: %s\n", error.c_str());
    g_window_open = open_window();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return g_window_open ? 0 : 1;
}
