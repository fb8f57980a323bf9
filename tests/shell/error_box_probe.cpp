// Test helper: shows the show's error box once and reports on stdout when the call returned.
#include <cstdio>
#include <cstring>

#include "platform/message_box.h"

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: error_box_probe TEXT\n"
                     "Calls MessageBoxA(no owner, TEXT, \"ERROR\", warning, OK) and prints\n"
                     "\"returned <result>\" once it returns.\n");
        return argc == 2 ? 0 : 2;
    }
    int result = MessageBoxA(nullptr, argv[1], "ERROR", MB_ICONWARNING | MB_OK);
    std::printf("returned %d\n", result);
    return 0;
}
