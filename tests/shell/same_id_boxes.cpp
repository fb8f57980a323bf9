// Test helper: error boxes one after another under one window id, as the X server can hand out.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static const xcb_keysym_t k_return = 0xff0d;
static const xcb_keysym_t k_escape = 0xff1b;

static xcb_connection_t* g_conn = nullptr;
static xcb_screen_t* g_screen = nullptr;

static int usage(FILE* out, int status)
{
    std::fprintf(out,
                 "usage: same_id_boxes TEXT...\n"
                 "For each TEXT writes \"ERROR: TEXT\" to stderr and shows a window titled \"ERROR\",\n"
                 "every one under the same window id, until Return or Escape is pressed and released\n"
                 "in it; then prints \"box N closed\" on stdout. Needs DISPLAY.\n");
    return status;
}

// The first keysym of a key code, as Xlib's XLookupKeysym(event, 0) gives it.
static xcb_keysym_t keysym_of(xcb_keycode_t code)
{
    xcb_get_keyboard_mapping_reply_t* map =
        xcb_get_keyboard_mapping_reply(g_conn, xcb_get_keyboard_mapping(g_conn, code, 1), nullptr);
    if (!map) return 0;
    xcb_keysym_t sym = xcb_get_keyboard_mapping_keysyms_length(map) > 0 ? xcb_get_keyboard_mapping_keysyms(map)[0]
                                                                        : 0;
    std::free(map);
    return sym;
}

static void show_box(xcb_window_t id, const char* text)
{
    const std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK;
    const std::uint32_t values[] = {g_screen->white_pixel,
                                    XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(g_conn, XCB_COPY_FROM_PARENT, id, g_screen->root, 300, 300, 200, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, g_screen->root_visual, mask, values);
    xcb_change_property(g_conn, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 5, "ERROR");
    xcb_change_property(g_conn, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_ICON_NAME, XCB_ATOM_STRING, 8,
                        std::strlen(text), text);
    xcb_map_window(g_conn, id);
    xcb_flush(g_conn);
}

// Waits for a press and release of Return or Escape in the window; false if the server left.
static bool wait_dismissed(xcb_window_t id)
{
    xcb_keysym_t pressed = 0;
    while (xcb_generic_event_t* event = xcb_wait_for_event(g_conn)) {
        std::uint8_t type = event->response_type & 0x7f;
        bool done = false;
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
            xcb_key_press_event_t* key = reinterpret_cast<xcb_key_press_event_t*>(event);
            xcb_keysym_t sym = keysym_of(key->detail);
            if (key->event == id && type == XCB_KEY_PRESS) pressed = sym;
            done = key->event == id && type == XCB_KEY_RELEASE && sym == pressed &&
                (sym == k_return || sym == k_escape);
        }
        std::free(event);
        if (done) return true;
    }
    return false;
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout, 0);
    if (argc < 2) return usage(stderr, 2);

    g_conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(g_conn)) {
        std::fprintf(stderr, "same_id_boxes: cannot connect to the X server\n");
        return 1;
    }
    g_screen = xcb_setup_roots_iterator(xcb_get_setup(g_conn)).data;
    // one id for every box: a client may reuse the id of a window it destroyed
    const xcb_window_t id = xcb_generate_id(g_conn);

    for (int i = 1; i < argc; ++i) {
        std::fprintf(stderr, "ERROR: %s\n", argv[i]);
        std::fflush(stderr);
        show_box(id, argv[i]);
        if (!wait_dismissed(id)) {
            std::fprintf(stderr, "same_id_boxes: lost the X server\n");
            return 1;
        }
        xcb_destroy_window(g_conn, id);
        xcb_flush(g_conn);
        std::printf("box %d closed\n", i);
        std::fflush(stdout);
    }
    xcb_disconnect(g_conn);
    return 0;
}
