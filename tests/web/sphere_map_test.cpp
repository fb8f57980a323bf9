// The page's sphere-map coordinates against OpenGL's own texgen (Mesa, feedback mode), vertex by
// vertex on the linked-in mesh, under the model scene's placements and under matrices that scale.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "assets/scene_mesh.h"
#include "assets/sphere_map.h"
#include "tests/support/gl_window.h"

// Every 23rd vertex of the mesh: some 900, from all over the knot.
static const int k_step = 23;

// The s and t that GL generates with GL_SPHERE_MAP for each chosen vertex under the current
// modelview. Feedback keeps only what is inside the view, so the projection takes in everything.
static std::vector<float> gl_sphere_map(const std::vector<int>& vertices)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);

    // each point: its token, then x y z, r g b a, s t r q
    std::vector<GLfloat> feedback(vertices.size() * 12 + 64);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D_COLOR_TEXTURE, feedback.data());
    glRenderMode(GL_FEEDBACK);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    // coordinates are made only for a unit that textures, with a complete texture
    static const unsigned char k_texel[4] = {255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, k_texel);
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    for (int v : vertices) {
        glNormal3fv(g_mesh_normals + 3 * v);
        glVertex3fv(g_mesh_positions + 3 * v);
    }
    glEnd();
    GLint count = glRenderMode(GL_RENDER);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    std::vector<float> st;
    for (GLint i = 0; i + 12 <= count; i += 12) {
        EXPECT_EQ(feedback[i], static_cast<GLfloat>(GL_POINT_TOKEN));
        st.push_back(feedback[i + 8] / feedback[i + 11]);
        st.push_back(feedback[i + 9] / feedback[i + 11]);
    }
    return st;
}

static std::vector<float> our_sphere_map(const std::vector<int>& vertices)
{
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    std::vector<float> positions, normals;
    for (int v : vertices) {
        positions.insert(positions.end(), g_mesh_positions + 3 * v, g_mesh_positions + 3 * v + 3);
        normals.insert(normals.end(), g_mesh_normals + 3 * v, g_mesh_normals + 3 * v + 3);
    }
    std::vector<float> st(vertices.size() * 2);
    sphere_map_coordinates(modelview, positions.data(), normals.data(), static_cast<int>(vertices.size()), st.data());
    return st;
}

// Both coordinate sets for the current modelview; the largest difference between them.
static float largest_difference()
{
    std::vector<int> vertices;
    for (int v = 0; v < g_mesh_vertex_count; v += k_step) vertices.push_back(v);
    std::vector<float> ours = our_sphere_map(vertices);
    std::vector<float> gls = gl_sphere_map(vertices);
    EXPECT_EQ(gls.size(), ours.size()) << "GL fed back another number of points";
    float largest = 0.0f;
    for (size_t i = 0; i < ours.size() && i < gls.size(); ++i)
        largest = std::fmax(largest, std::fabs(ours[i] - gls[i]));
    return largest;
}

class sphere_map : public ::testing::Test {
  protected:
    void SetUp() override
    {
        static bool open = open_show_window();
        ASSERT_TRUE(open) << "no X display for the show's window";
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

// The model scene's placements: resting, jumped right and up, and swaying through a whole period.
TEST_F(sphere_map, matches_gl_where_the_model_scene_puts_the_model)
{
    for (float t : {29.3f, 30.0f, 31.416f, 33.0f, 40.4f, 57.7f}) {
        glLoadIdentity();
        glTranslatef(3.8f * 0.3f, 0.5f * 0.6f, -4.0f);
        double s = std::sin(static_cast<double>(t));
        glRotatef(static_cast<float>(50.0 * s), static_cast<float>(5.0 * s), 0, 0);
        EXPECT_LT(largest_difference(), 1e-4f) << "at t = " << t;
    }
}

// The normal goes through the inverse transpose and is not made unit again (GL_NORMALIZE is off):
// a matrix that scales unevenly tells both apart from a plain rotation of the normal.
TEST_F(sphere_map, matches_gl_under_a_matrix_that_scales_and_turns_about_a_slanted_axis)
{
    glTranslatef(0.4f, -0.3f, -6.0f);
    glRotatef(67.0f, 0.3f, -0.8f, 0.5f);
    glScalef(1.6f, 0.7f, 1.1f);
    EXPECT_LT(largest_difference(), 1e-4f);
}
