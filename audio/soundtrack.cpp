// Starts the soundtrack (open the device, load the file, play it from its start) and stops it.
#include "audio/music.h"

#include "platform/bass.h"
#include "platform/error_box.h"

DWORD g_music = 0;

// Each failed request shows its box and the next one is made all the same.
void start_music(const char* path)
{
    if (!BASS_Init(1, 44100, 0, nullptr, nullptr))
        show_error_box("Bass init failed! Remembered the bass.dll file?");

    g_music = BASS_StreamCreateFile(FALSE, path, 0, 0, BASS_STREAM_PRESCAN);
    if (!g_music) show_error_box("Bass file loading failed!");

    if (!BASS_ChannelPlay(g_music, TRUE)) show_error_box("Music failed to play!");

    if (!BASS_ChannelSetPosition(g_music, 0)) show_error_box("Failed to start song at the start");
}

void stop_music()
{
    BASS_Free();
}
