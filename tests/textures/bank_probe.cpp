// Test support, preloaded into the real program: notes every picture loaded and every texture deleted.
#include <GL/gl.h>
#include <IL/il.h>
#define ILUT_USE_OPENGL
#include <IL/ilut.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

typedef GLuint (*upload_image_fn)();
typedef void (*delete_textures_fn)(GLsizei, const GLuint*);

static int g_load_calls = 0;
static std::vector<GLuint> g_loaded;          // names the uploads returned, in order
static std::multiset<GLuint> g_deleted_live;  // names that were textures when deleted

// every decoded picture becomes a texture through this one call
GLuint ilutGLBindTexImage()
{
    static upload_image_fn real = reinterpret_cast<upload_image_fn>(dlsym(RTLD_NEXT, "ilutGLBindTexImage"));
    GLuint name = real();
    ++g_load_calls;
    g_loaded.push_back(name);
    return name;
}

void glDeleteTextures(GLsizei n, const GLuint* textures)
{
    static delete_textures_fn real = reinterpret_cast<delete_textures_fn>(dlsym(RTLD_NEXT, "glDeleteTextures"));
    for (GLsizei i = 0; i < n; ++i) {
        if (textures[i] != 0 && glIsTexture(textures[i])) g_deleted_live.insert(textures[i]);
    }
    real(n, textures);
}

// written when the process exits, to the file VL_BANK_PROBE_OUT names
__attribute__((destructor)) static void write_report()
{
    const char* path = std::getenv("VL_BANK_PROBE_OUT");
    if (!path) return;
    FILE* out = std::fopen(path, "w");
    if (!out) return;
    std::set<GLuint> distinct;
    for (GLuint name : g_loaded) {
        if (name != 0) distinct.insert(name);
    }
    int released = 0;
    int released_twice = 0;
    for (GLuint name : distinct) {
        if (g_deleted_live.count(name) >= 1) ++released;
        if (g_deleted_live.count(name) > 1) ++released_twice;
    }
    std::fprintf(out, "loads %d\ndistinct_textures %zu\nreleased %d\nreleased_twice %d\n", g_load_calls,
                 distinct.size(), released, released_twice);
    std::fclose(out);
}
