// The texture benchmarks' --data=FOLDER option, taken out of the arguments Google Benchmark reads.
#include "bench/textures/data_option.h"

#include <cstring>

bool take_data_option(int& argc, char** argv, std::string& folder)
{
    bool help = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) help = true;
        if (std::strncmp(argv[i], "--data=", 7) == 0) {
            folder = argv[i] + 7;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return help;
}
