// Test helper: shows the show's error box once and reports on stdout when the call returned.
#include <cstdio>
#include <cstring>

#include "platform/message_box.h"
#include "shell/display.h"

static int usage(FILE* out, int status)
{
    std::fprintf(out,
                 "usage: error_box_probe [--over-show-window] TEXT\n"
                 "Calls MessageBoxA(no owner, TEXT, \"ERROR\", warning, OK) and prints\n"
                 "\"returned <result>\" once it returns. With --over-show-window the show's\n"
                 "fullscreen window is opened first, as it is when the soundtrack fails.\n");
    return status;
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout, 0);
    bool over_window = argc == 3 && std::strcmp(argv[1], "--over-show-window") == 0;
    if (argc != 2 && !over_window) return usage(stderr, 2);

    if (over_window && !init_display(1024, 768)) return 1;
    int result = MessageBoxA(nullptr, argv[argc - 1], "ERROR", MB_ICONWARNING | MB_OK);
    std::printf("returned %d\n", result);
    return 0;
}
