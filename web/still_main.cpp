// The still page's program: the show's frame at one show time with the two spectrum values the
// model follows held fixed, drawn by the show's own code on the capture tool's clock, with no
// sound and no start screen; its pixels go to the page as a PNG. The page passes the capture
// tool's options, --times T --spectrum V6,V7.
#include <GL/gl.h>
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "assets/texture_bank.h"
#include "audio/music.h"
#include "shell/display.h"
#include "shell/show_files_web.h"
#include "show/timeline.h"
#include "tools/capture/capture_clock.h"
#include "tools/capture/capture_options.h"

static capture_options g_options;
static unsigned char g_pixels[1024 * 768 * 4];

// Rows come bottom first from GL; the PNG is top first.
EM_JS(void, hand_still_to_page, (const unsigned char* pixels, int width, int height), {
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    var context = canvas.getContext('2d');
    var image = context.createImageData(width, height);
    var row = width * 4;
    for (var y = 0; y < height; ++y)
        image.data.set(HEAPU8.subarray(pixels + (height - 1 - y) * row, pixels + (height - y) * row), y * row);
    context.putImageData(image, 0, 0);
    if (Module.onStillDrawn) Module.onStillDrawn(canvas.toDataURL('image/png'));
});

EM_JS(void, tell_page_failed, (const char* text), {
    if (Module.showMessage) Module.showMessage('still', UTF8ToString(text));
});

// The frame is read before the browser presents it, as the capture tool reads it before the swap.
static void draw_still()
{
    load_textures();
    for (float& v : g_spectrum) v = 0.0f;
    g_spectrum[6] = g_options.spectrum6;
    g_spectrum[7] = g_options.spectrum7;
    set_capture_time(g_options.times[0]);
    render_frame();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, g_pixels);
    hand_still_to_page(g_pixels, 1024, 768);
}

int main(int argc, char** argv)
{
    std::string error;
    if (!parse_capture_options(argc, argv, g_options, error) || g_options.times.size() != 1) {
        if (error.empty()) error = "one time is needed: still=T";
        std::fprintf(stderr, "still: %s\n", error.c_str());
        tell_page_failed(error.c_str());
        return 1;
    }
    init_display(1024, 768);
    init_gl_state();
    fetch_show_files(false, draw_still);
    return 0;
}
