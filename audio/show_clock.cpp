// The show clock: the soundtrack's playback position in seconds (tests link a clock of their own).
#include "audio/music.h"

#include "platform/bass.h"

float music_time()
{
    QWORD pos = BASS_ChannelGetPosition(g_music);
    return BASS_ChannelBytes2Seconds(g_music, pos);
}
