// Pictures into textures on a page: each file passes the same check as on Linux, then the browser
// decodes it. A browser decodes pictures only asynchronously, so that is done ahead, before the
// bank is loaded; loading then uploads what was decoded. DevIL does not build for the web.
#include "assets/image_loader.h"

#include <emscripten.h>

#include "assets/image_guard.h"
#include "assets/whole_file.h"

static unsigned char g_file_bytes[k_image_budget];
static void (*g_when_decoded)() = nullptr;

// Called by the page once no decode is under way any more.
extern "C" EMSCRIPTEN_KEEPALIVE void pictures_decoded()
{
    void (*done)() = g_when_decoded;
    g_when_decoded = nullptr;
    if (done) done();
}

// Decodes the file's bytes into a bitmap kept under its path: rows from the bottom, as OpenGL
// wants them, colours as stored (no premultiplied alpha, no colour management). A bitmap of
// another size than the check allowed is dropped.
// clang-format off
EM_JS(void, decode_in_browser, (const char* path, const unsigned char* bytes, int size, int width, int height), {
    var key = UTF8ToString(path);
    var blob = new Blob([HEAPU8.slice(bytes, bytes + size)]);
    Module.decodedPictures = Module.decodedPictures || {};
    Module.picturesPending = (Module.picturesPending || 0) + 1;
    createImageBitmap(blob, {imageOrientation: 'flipY', premultiplyAlpha: 'none', colorSpaceConversion: 'none'})
        .then(function(bitmap) {
            if (bitmap.width == width && bitmap.height == height) Module.decodedPictures[key] = bitmap;
            else bitmap.close();
        }, function() {})
        .finally(function() {
            if (--Module.picturesPending == 0) _pictures_decoded();
        });
});
// clang-format on

// Uploads the bitmap decoded for the path into the bound texture, then lets it go; 0 when there is none.
// clang-format off
EM_JS(int, upload_decoded_picture, (const char* path), {
    var key = UTF8ToString(path);
    var bitmap = Module.decodedPictures && Module.decodedPictures[key];
    if (!bitmap) return 0;
    GLctx.texImage2D(GLctx.TEXTURE_2D, 0, GLctx.RGBA, GLctx.RGBA, GLctx.UNSIGNED_BYTE, bitmap);
    bitmap.close();
    delete Module.decodedPictures[key];
    return 1;
});
// clang-format on

EM_JS(int, pictures_pending, (), { return Module.picturesPending || 0; });

void start_image_decoder() {}

void decode_picture_ahead(const char* path)
{
    size_t size = 0;
    if (!read_whole_file(path, g_file_bytes, sizeof g_file_bytes, &size)) return;
    GLint gl_max_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max_side);
    image_check check = check_image(g_file_bytes, size, uint32_t(gl_max_side > 0 ? gl_max_side : 0));
    if (check.kind == k_image_refused) return;
    decode_in_browser(path, g_file_bytes, static_cast<int>(size), static_cast<int>(check.width),
                      static_cast<int>(check.height));
}

void when_pictures_decoded(void (*done)())
{
    g_when_decoded = done;
    if (pictures_pending() == 0) pictures_decoded();
}

// A picture that is missing, refused or undecodable is a white texture: what OpenGL draws for the
// texture 0 on Linux, where WebGL would sample black.
GLuint load_image_texture(const char* path)
{
    static const unsigned char k_white[4] = {255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (!upload_decoded_picture(path)) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, k_white);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}
