// The error box on a page: the message goes to the console and stays on the page, which cannot
// hold the show for a modal box; the show goes on at once, as after a dismissed box.
#include "platform/message_box.h"

#include <emscripten.h>

#include <cstdio>

EM_JS(void, show_message_on_page, (const char* caption, const char* text), {
    if (Module.showMessage) Module.showMessage(UTF8ToString(caption), UTF8ToString(text));
});

int MessageBoxA(HWND, const char* text, const char* caption, unsigned int)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    show_message_on_page(caption, text);
    return IDOK;
}

// Nothing stays up on a page to be taken down.
void close_error_boxes() {}
