// Test helper: runs the show's start_music on a path, optionally plays a while, then stop_music.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/music.h"

static int usage(FILE* to)
{
    std::fprintf(to,
                 "usage: start_music_probe PATH [SECONDS]\n"
                 "Calls start_music(PATH) as the show does (failures appear as \"ERROR: ...\" on\n"
                 "stderr). With SECONDS, waits until the show time reaches it, fetches the\n"
                 "spectrum and prints \"time T peak K V\". Then calls stop_music.\n");
    return to == stdout ? 0 : 2;
}

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return usage(stdout);
    if (argc < 2 || argc > 3) return usage(stderr);

    start_music(argv[1]);

    if (argc == 3) {
        double until = std::atof(argv[2]);
        auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (music_time() < until && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        fetch_spectrum(g_spectrum);
        int peak = 0;
        for (int k = 1; k < 512; ++k)
            if (g_spectrum[k] > g_spectrum[peak]) peak = k;
        std::printf("time %.3f peak %d %.3f\n", static_cast<double>(music_time()), peak,
                    static_cast<double>(g_spectrum[peak]));
    }

    stop_music();
    return 0;
}
