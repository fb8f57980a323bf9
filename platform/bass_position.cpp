// Our audio layer's playback position: play, seek, and the position of the sample heard now.
#include <cmath>

#include "platform/audio_output.h"
#include "platform/bass.h"
#include "platform/bass_render.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    bass_stream* s = find_stream(handle);
    if (!s) return FALSE;

    audio_output_lock();
    play_stream(s, restart != FALSE);
    audio_output_unlock();

    // the output stays paused from BASS_Init until something plays
    audio_output_pause(false);
    return TRUE;
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos)
{
    bass_stream* s = find_stream(handle);
    if (!s) return FALSE;
    QWORD frame = pos / 4;
    if (frame > static_cast<QWORD>(stream_length(s))) return FALSE;

    audio_output_lock();
    move_stream(s, static_cast<std::int64_t>(frame));
    audio_output_unlock();
    return TRUE;
}

// Without a stream (handle 0 among others) the position is 0.
QWORD BASS_ChannelGetPosition(DWORD handle)
{
    bass_stream* s = find_stream(handle);
    if (!s) return 0;
    return static_cast<QWORD>(std::floor(heard_frame(s->heard, stream_rate(s)))) * 4;
}

// Without a stream the time is 0.
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    bass_stream* s = find_stream(handle);
    if (!s) return 0.0f;
    return static_cast<float>(static_cast<double>(pos) / (4.0 * stream_rate(s)));
}
