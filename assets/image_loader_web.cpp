// Pictures into textures on a page: each file passes the same check as on Linux, then the browser
// decodes it. A browser decodes pictures only asynchronously, so that is done ahead, before the
// bank is loaded; loading then uploads what was decoded. DevIL does not build for the web.
#include "assets/image_loader.h"

#include <emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "assets/image_guard.h"
#include "assets/whole_file.h"

static void (*g_when_decoded)() = nullptr;

// Called by the page once no decode is under way any more.
extern "C" EMSCRIPTEN_KEEPALIVE void pictures_decoded()
{
    void (*done)() = g_when_decoded;
    g_when_decoded = nullptr;
    if (done) done();
}

// Decodes the file's bytes into a bitmap kept under its path: rows from the bottom, as OpenGL
// wants them, colours as stored (no premultiplied alpha, no colour management), resized by the
// browser when asked to. A bitmap of another size than the one expected is dropped.
// clang-format off
EM_JS(void, decode_in_browser, (const char* path, const unsigned char* bytes, int size, int width, int height,
                                int resize), {
    var key = UTF8ToString(path);
    var blob = new Blob([HEAPU8.slice(bytes, bytes + size)]);
    Module.decodedPictures = Module.decodedPictures || {};
    Module.picturesPending = (Module.picturesPending || 0) + 1;
    var options = {imageOrientation: 'flipY', premultiplyAlpha: 'none', colorSpaceConversion: 'none'};
    if (resize) {
        options.resizeWidth = width;
        options.resizeHeight = height;
        options.resizeQuality = 'high';
    }
    createImageBitmap(blob, options)
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
    // WebGL 1 samples a texture whose sides are not powers of two (a photo brought within the
    // texture's size, say) only clamped at its edges: repeated, it would show black
    var power_of_two = function(n) { return (n & (n - 1)) == 0; };
    if (!power_of_two(bitmap.width) || !power_of_two(bitmap.height)) {
        GLctx.texParameteri(GLctx.TEXTURE_2D, GLctx.TEXTURE_WRAP_S, GLctx.CLAMP_TO_EDGE);
        GLctx.texParameteri(GLctx.TEXTURE_2D, GLctx.TEXTURE_WRAP_T, GLctx.CLAMP_TO_EDGE);
    }
    bitmap.close();
    delete Module.decodedPictures[key];
    return 1;
});
// clang-format on

EM_JS(int, pictures_pending, (), { return Module.picturesPending || 0; });

void start_image_decoder() {}

void decode_picture_ahead(const char* path)
{
    struct stat facts;
    if (stat(path, &facts) != 0 || facts.st_size < 0 || uint64_t(facts.st_size) > k_image_file_limit) return;
    std::vector<unsigned char> bytes(static_cast<size_t>(facts.st_size));
    size_t size = 0;
    if (!read_whole_file(path, bytes.data(), bytes.size(), &size)) return;
    image_check check = check_image(bytes.data(), size);
    if (check.kind == k_image_refused) return;

    // a picture larger than a texture may be is brought within it, its proportions kept
    GLint gl_max_side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &gl_max_side);
    uint32_t max_side = std::min(uint32_t(std::max(gl_max_side, 0)), k_texture_max_side);
    if (max_side == 0) return;
    uint32_t longer = std::max(check.width, check.height);
    bool resize = longer > max_side;
    double scale = resize ? double(max_side) / longer : 1.0;
    int width = std::max(1, int(check.width * scale));
    int height = std::max(1, int(check.height * scale));
    decode_in_browser(path, bytes.data(), static_cast<int>(size), width, height, resize ? 1 : 0);
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
