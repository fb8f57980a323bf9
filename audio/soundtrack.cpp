// Starts the soundtrack. PLACEHOLDER until the audio layer lands: plays nothing.
#include "audio/music.h"

DWORD g_music = 0;

void start_music(const char*)
{
}
