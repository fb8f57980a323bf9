// Our audio layer's mixer: the output's callback, rendering the playing streams at the output's rate.
#pragma once

#include <cstdint>

// The output's rate in Hz; set before the output is opened, so before the mixer can run.
extern int g_mix_rate;

// Fills `frames` stereo frames from the playing streams and publishes where each is heard.
void render_streams(std::int16_t* out, int frames);
