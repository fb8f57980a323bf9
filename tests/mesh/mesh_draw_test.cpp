// draw_scene_mesh on real OpenGL (llvmpipe): the state it leaves, the pixels it covers, its front faces.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "assets/scene_mesh.h"
#include "tests/mesh/model_files.h"
#include "tests/support/gl_window.h"
#include "tools/mesh/mesh_bake.h"
#include "tools/mesh/mesh_check.h"

namespace {

const int k_w = 1024, k_h = 768;

const GLenum k_capabilities[] = {GL_TEXTURE_2D, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_DEPTH_TEST,
                                 GL_ALPHA_TEST, GL_BLEND,         GL_LIGHTING,      GL_CULL_FACE,
                                 GL_NORMALIZE,  GL_COLOR_MATERIAL};

// The show's window, with the switches an earlier test in this process may have flipped put back.
void need_window()
{
    static bool open = open_show_window();
    ASSERT_TRUE(open) << "no X display for the show's window";
    for (GLenum c : k_capabilities) glDisable(c);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

// The model scene's placement: at (0, 0, depth), tilted about x.
void place(float depth, float tilt)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, depth);
    glRotatef(tilt, 1, 0, 0);
}

// Plain white model on black: no texture, so every covered pixel is the current colour.
void clear_for_coverage()
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<unsigned char> read_colours()
{
    std::vector<unsigned char> px(k_w * k_h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, k_w, k_h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

std::vector<float> read_depths()
{
    std::vector<float> d(k_w * k_h);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, k_w, k_h, GL_DEPTH_COMPONENT, GL_FLOAT, d.data());
    return d;
}

size_t covered(const std::vector<float>& depth)
{
    size_t n = 0;
    for (float d : depth) n += d < 1.0f;
    return n;
}

// The same triangles as the strips, sent one by one in immediate mode: a second opinion on coverage.
void draw_strips_as_triangles()
{
    glBegin(GL_TRIANGLES);
    const uint32_t* strip = g_mesh_indices;
    for (int32_t s = 0; s < g_mesh_strip_count; ++s) {
        for (int32_t k = 0; k + 2 < g_mesh_strip_lengths[s]; ++k) {
            uint32_t t[3] = {strip[k], strip[k + 1], strip[k + 2]};
            if (k & 1) std::swap(t[0], t[1]);
            for (uint32_t v : t) glVertex3fv(g_mesh_positions + 3 * v);
        }
        strip += g_mesh_strip_lengths[s];
    }
    glEnd();
}

struct gl_snapshot {
    double modelview[16], projection[16];
    int matrix_mode, texture, gen_s, gen_t, env_mode, depth_func;
    std::vector<unsigned char> enabled;
};

gl_snapshot snapshot()
{
    gl_snapshot s;
    glGetDoublev(GL_MODELVIEW_MATRIX, s.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, s.projection);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrix_mode);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture);
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &s.gen_s);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &s.gen_t);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &s.env_mode);
    glGetIntegerv(GL_DEPTH_FUNC, &s.depth_func);
    for (GLenum c : k_capabilities) s.enabled.push_back(glIsEnabled(c));
    return s;
}

void expect_same_state(const gl_snapshot& a, const gl_snapshot& b)
{
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(a.modelview[i], b.modelview[i]) << "modelview element " << i;
        EXPECT_EQ(a.projection[i], b.projection[i]) << "projection element " << i;
    }
    EXPECT_EQ(a.matrix_mode, b.matrix_mode);
    EXPECT_EQ(a.texture, b.texture);
    EXPECT_EQ(a.gen_s, b.gen_s);
    EXPECT_EQ(a.gen_t, b.gen_t);
    EXPECT_EQ(a.env_mode, b.env_mode);
    EXPECT_EQ(a.depth_func, b.depth_func);
    for (size_t i = 0; i < a.enabled.size(); ++i) EXPECT_EQ(a.enabled[i], b.enabled[i]) << "capability " << i;
}

TEST(scene_mesh_draw, sets_only_the_client_arrays_and_a_white_colour)
{
    need_window();
    GLuint texture;
    glGenTextures(1, &texture);
    // the model scene's own state, then the opposite of each switch
    for (int flip = 0; flip < 2; ++flip) {
        SCOPED_TRACE(flip ? "switches flipped" : "model scene state");
        glBindTexture(GL_TEXTURE_2D, flip ? 0 : texture);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, flip ? GL_OBJECT_LINEAR : GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, flip ? GL_EYE_LINEAR : GL_SPHERE_MAP);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, flip ? GL_REPLACE : GL_MODULATE);
        for (size_t i = 0; i < sizeof k_capabilities / sizeof k_capabilities[0]; ++i) {
            bool on = (i == 0 || i == 1 || i == 2 || i == 3) != bool(flip);
            on ? glEnable(k_capabilities[i]) : glDisable(k_capabilities[i]);
        }
        place(-4, 25.0f + flip);
        glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
        gl_snapshot before = snapshot();

        draw_scene_mesh();

        expect_same_state(before, snapshot());
        EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        GLvoid* p = nullptr;
        glGetPointerv(GL_VERTEX_ARRAY_POINTER, &p);
        EXPECT_EQ(p, static_cast<const void*>(g_mesh_positions));
        glGetPointerv(GL_NORMAL_ARRAY_POINTER, &p);
        EXPECT_EQ(p, static_cast<const void*>(g_mesh_normals));
        glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &p);
        EXPECT_EQ(p, static_cast<const void*>(g_mesh_texcoords));
        GLint size = 0, stride = -1;
        glGetIntegerv(GL_VERTEX_ARRAY_SIZE, &size);
        EXPECT_EQ(size, 3);
        glGetIntegerv(GL_TEXTURE_COORD_ARRAY_SIZE, &size);
        EXPECT_EQ(size, 2);
        glGetIntegerv(GL_NORMAL_ARRAY_STRIDE, &stride);
        EXPECT_EQ(stride, 0);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[1], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
        EXPECT_EQ(colour[3], 1.0f);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    glDeleteTextures(1, &texture);
}

TEST(scene_mesh_draw, drawing_again_gives_the_same_pixels)
{
    need_window();
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    clear_for_coverage();
    place(-4, 30);
    draw_scene_mesh();
    std::vector<unsigned char> once = read_colours();
    std::vector<float> once_depth = read_depths();

    clear_for_coverage();
    draw_scene_mesh();
    EXPECT_TRUE(read_colours() == once) << "a second frame differs";
    draw_scene_mesh();  // twice in one frame: the depth test keeps the same surface
    EXPECT_TRUE(read_colours() == once) << "a second draw in the same frame changed the picture";
    EXPECT_TRUE(read_depths() == once_depth);
}

TEST(scene_mesh_draw, covers_the_same_pixels_as_its_triangles_at_rest_position)
{
    need_window();
    glDisable(GL_CULL_FACE);
    clear_for_coverage();
    place(-4, 0);
    draw_scene_mesh();
    std::vector<float> strips = read_depths();
    std::vector<unsigned char> colours = read_colours();
    size_t area = covered(strips);
    EXPECT_GT(area, size_t(k_w * k_h / 20)) << "the model covers too little of the screen";
    EXPECT_LT(area, size_t(k_w * k_h / 2));
    size_t not_white = 0;
    for (size_t i = 0; i < strips.size(); ++i) not_white += strips[i] < 1.0f && colours[3 * i + 1] < 250;
    EXPECT_EQ(not_white, 0u) << "covered pixels not in the white the draw sets";

    clear_for_coverage();
    glColor3f(1, 1, 1);
    draw_strips_as_triangles();
    std::vector<float> triangles = read_depths();
    size_t differ = 0;
    for (size_t i = 0; i < strips.size(); ++i) differ += std::fabs(strips[i] - triangles[i]) > 1e-5f;
    EXPECT_LE(differ, area / 1000) << "strip drawing and triangle drawing disagree";
    if (HasFailure()) save_screen_ppm("mesh_coverage_failure.ppm");
}

TEST(scene_mesh_draw, front_faces_are_the_ones_facing_the_viewer)
{
    need_window();
    glFrontFace(GL_CCW);
    for (float tilt : {0.0f, 50.0f}) {
        SCOPED_TRACE(tilt);
        glDisable(GL_CULL_FACE);
        clear_for_coverage();
        place(-4, tilt);
        draw_scene_mesh();
        std::vector<float> all = read_depths();

        auto culled = [&](GLenum face) {
            glEnable(GL_CULL_FACE);
            glCullFace(face);
            clear_for_coverage();
            draw_scene_mesh();
            glDisable(GL_CULL_FACE);
            return read_depths();
        };
        std::vector<float> fronts = culled(GL_BACK), backs = culled(GL_FRONT);
        size_t area = covered(all), front_differs = 0, back_differs = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            front_differs += std::fabs(all[i] - fronts[i]) > 1e-5f;
            back_differs += std::fabs(all[i] - backs[i]) > 1e-5f;
        }
        // the nearest surface everywhere is a front face; the back faces lie behind it
        EXPECT_LE(front_differs, area / 500);
        EXPECT_GE(back_differs, area * 9 / 10);
    }
}

TEST(scene_mesh_draw, a_baked_sphere_draws_as_a_solid_disc_with_its_front_faces_out)
{
    need_window();
    const float origin[3] = {0, 0, 0};
    test_model t = make_sphere(1.0f, 48, 96, origin);
    raw_mesh raw{t.positions, {}, {}, std::vector<uint32_t>(t.triangles.begin(), t.triangles.end())};
    mesh_arrays m;
    std::string error;
    ASSERT_TRUE(bake_mesh(raw, m, error)) << error;

    clear_for_coverage();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    place(-4, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m.positions.data());
    const uint32_t* strip = m.indices.data();
    for (int32_t len : m.strip_lengths) {
        glDrawElements(GL_TRIANGLE_STRIP, len, GL_UNSIGNED_INT, strip);
        strip += len;
    }
    glDisable(GL_CULL_FACE);
    std::vector<float> depth = read_depths();

    // a unit sphere 4 away subtends asin(1/4); the vertical half-view is 22.5 degrees over 384 pixels
    double radius_px = std::tan(std::asin(0.25)) / std::tan(22.5 * 3.14159265358979 / 180) * 384;
    double disc = 3.14159265358979 * radius_px * radius_px;
    EXPECT_NEAR(double(covered(depth)), disc, 0.01 * disc);

    double model[16], proj[16], wx, wy, wz;
    int view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    gluProject(0, 0, 1, model, proj, view, &wx, &wy, &wz);  // the sphere's nearest point
    EXPECT_NEAR(depth[(k_h / 2) * k_w + k_w / 2], wz, 1e-4);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace
