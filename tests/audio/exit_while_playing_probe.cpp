// Test helper: plays a file on the "no sound" device and ends the program without BASS_Free,
// as a measuring tool does; the program must end at once, with status 0.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/bass.h"

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: exit_while_playing_probe FILE.mp3\nPlays FILE on device 0 for 0.2 s, "
                    "then returns from main with the device still open.\n");
        return argc == 2 ? 0 : 2;
    }
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr)) return 1;
    HSTREAM h = BASS_StreamCreateFile(FALSE, argv[1], 0, 0, BASS_STREAM_PRESCAN);
    if (!h || !BASS_ChannelPlay(h, TRUE)) return 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return BASS_ChannelGetPosition(h) > 0 ? 0 : 1;
}
