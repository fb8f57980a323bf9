// The soundtrack, the show clock and the spectrum of the music now playing.
#pragma once

#include "platform/win_types.h"

extern DWORD g_music;          // the soundtrack's stream, 0 when none could be made
extern float g_spectrum[512];  // refreshed once per pass by the frame loop

// Opens the soundtrack and starts it from its beginning; failures go to the error box.
void start_music(const char* path);

// Stops the soundtrack and releases the audio layer: its output device and its stream.
void stop_music();

// The show time: the soundtrack's playback position in seconds, read afresh each call.
float music_time();

// Writes the 512 magnitudes of a 1024-sample transform of the music now playing.
void fetch_spectrum(float* spectrum);
