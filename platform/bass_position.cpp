// Our audio layer's playback position: play, seek, and the position of the sample heard now.
#include <cmath>

#include "platform/audio_output.h"
#include "platform/bass.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"

// Called with the output locked. The position stands at `frame` until the mixer's next buffer
// says when that frame is heard.
static void restart_from(bass_stream* s, double frame)
{
    s->next_frame = frame;
    s->continuous = false;
    stand_at(s->heard, frame);
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    bass_stream* s = find_stream(handle);
    if (!s) return FALSE;

    audio_output_lock();
    bool was_playing = s->playing;
    s->playing = true;
    if (restart) restart_from(s, 0.0);
    else if (!was_playing) restart_from(s, s->next_frame);
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
    if (frame > static_cast<QWORD>(s->frames)) return FALSE;

    audio_output_lock();
    restart_from(s, static_cast<double>(frame));
    audio_output_unlock();
    return TRUE;
}

// Without a stream (handle 0 among others) the position is 0.
QWORD BASS_ChannelGetPosition(DWORD handle)
{
    bass_stream* s = find_stream(handle);
    if (!s) return 0;
    return static_cast<QWORD>(std::floor(heard_frame(s->heard, s->rate))) * 4;
}

// Without a stream the time is 0.
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    bass_stream* s = find_stream(handle);
    if (!s) return 0.0f;
    return static_cast<float>(static_cast<double>(pos) / (4.0 * s->rate));
}
