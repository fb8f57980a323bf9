// Where the capture draws: a framebuffer object of the supersampled frame's size, whatever the
// size of the window or offscreen surface that holds the context.
#include "tools/capture/frame_buffer.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL/SDL.h>

#include <algorithm>

static PFNGLGENFRAMEBUFFERSPROC g_gen_framebuffers;
static PFNGLBINDFRAMEBUFFERPROC g_bind_framebuffer;
static PFNGLDELETEFRAMEBUFFERSPROC g_delete_framebuffers;
static PFNGLGENRENDERBUFFERSPROC g_gen_renderbuffers;
static PFNGLBINDRENDERBUFFERPROC g_bind_renderbuffer;
static PFNGLDELETERENDERBUFFERSPROC g_delete_renderbuffers;
static PFNGLRENDERBUFFERSTORAGEPROC g_renderbuffer_storage;
static PFNGLFRAMEBUFFERRENDERBUFFERPROC g_framebuffer_renderbuffer;
static PFNGLCHECKFRAMEBUFFERSTATUSPROC g_check_framebuffer_status;

static GLuint g_framebuffer = 0;
static GLuint g_renderbuffers[2] = {0, 0};

template <typename T> static bool find_call(T& call, const char* name)
{
    call = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return call != nullptr;
}

static bool find_framebuffer_calls()
{
    return find_call(g_gen_framebuffers, "glGenFramebuffers") && find_call(g_bind_framebuffer, "glBindFramebuffer") &&
        find_call(g_delete_framebuffers, "glDeleteFramebuffers") &&
        find_call(g_gen_renderbuffers, "glGenRenderbuffers") && find_call(g_bind_renderbuffer, "glBindRenderbuffer") &&
        find_call(g_delete_renderbuffers, "glDeleteRenderbuffers") &&
        find_call(g_renderbuffer_storage, "glRenderbufferStorage") &&
        find_call(g_framebuffer_renderbuffer, "glFramebufferRenderbuffer") &&
        find_call(g_check_framebuffer_status, "glCheckFramebufferStatus");
}

// The largest width and height this OpenGL both stores and draws to.
static void largest_drawable(GLint& width, GLint& height)
{
    GLint renderbuffer = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    width = std::min(renderbuffer, viewport[0]);
    height = std::min(renderbuffer, viewport[1]);
}

bool open_frame_buffer(int width, int height, std::string& error)
{
    if (!find_framebuffer_calls()) {
        error = "this OpenGL has no framebuffer objects to draw in";
        return false;
    }
    GLint most_width = 0, most_height = 0;
    largest_drawable(most_width, most_height);
    if (width > most_width || height > most_height) {
        error = "this OpenGL draws at most " + std::to_string(most_width) + "x" + std::to_string(most_height) +
            " pixels, and the frame needs " + std::to_string(width) + "x" + std::to_string(height);
        return false;
    }
    g_gen_framebuffers(1, &g_framebuffer);
    g_bind_framebuffer(GL_FRAMEBUFFER, g_framebuffer);
    g_gen_renderbuffers(2, g_renderbuffers);
    const GLenum formats[2] = {GL_RGBA8, GL_DEPTH24_STENCIL8};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_STENCIL_ATTACHMENT};
    for (int i = 0; i < 2; ++i) {
        g_bind_renderbuffer(GL_RENDERBUFFER, g_renderbuffers[i]);
        g_renderbuffer_storage(GL_RENDERBUFFER, formats[i], width, height);
        g_framebuffer_renderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, g_renderbuffers[i]);
    }
    GLenum fault = glGetError();
    if (fault != GL_NO_ERROR || g_check_framebuffer_status(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "cannot make a " + std::to_string(width) + "x" + std::to_string(height) + " frame buffer" +
            (fault == GL_OUT_OF_MEMORY ? " (out of memory)" : "");
        close_frame_buffer();
        return false;
    }
    return true;
}

void close_frame_buffer()
{
    if (!g_framebuffer) return;
    g_bind_framebuffer(GL_FRAMEBUFFER, 0);
    g_delete_renderbuffers(2, g_renderbuffers);
    g_delete_framebuffers(1, &g_framebuffer);
    g_framebuffer = 0;
}
