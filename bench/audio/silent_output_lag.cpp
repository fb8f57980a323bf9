// Measures how far a stream on the "no sound" device trails the steady clock: the silent output
// takes 10 ms buffers on a thread of its own, and the mixer counts a buffer heard once taken.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/bass.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

int main(int argc, char** argv)
{
    if (argc > 1) {
        std::printf("usage: silent_output_lag\nPlays a 5 s tone on device 0 and prints, over 3 s of "
                    "readings, when the position first moved and how far it trails the steady clock.\n");
        return std::string(argv[1]) == "--help" ? 0 : 2;
    }
    std::string dir = make_temp_dir();
    std::string mp3 = dir + "/tone.mp3";
    if (!make_mp3(mp3, "0.5*sin(2*PI*440*t)", 44100, 5.0) || !BASS_Init(0, 44100, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "silent_output_lag: could not make the tone or open device 0\n");
        remove_dir(dir);
        return 1;
    }
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    double start = steady_seconds();
    BASS_ChannelPlay(h, TRUE);

    std::vector<double> lag;
    double first_move = -1.0;
    for (double wall = 0.0; wall < 3.0; wall = steady_seconds() - start) {
        double show = BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h));
        if (show > 0.0 && first_move < 0.0) first_move = wall;
        if (wall > 0.5) lag.push_back(wall - show);
        sleep_seconds(0.0005);
    }
    std::sort(lag.begin(), lag.end());
    std::printf("first movement %.1f ms after play; behind the steady clock: min %.2f ms, median %.2f ms, "
                "max %.2f ms (%zu readings)\n",
                first_move * 1e3, lag.front() * 1e3, lag[lag.size() / 2] * 1e3, lag.back() * 1e3, lag.size());
    BASS_Free();
    remove_dir(dir);
    return 0;
}
