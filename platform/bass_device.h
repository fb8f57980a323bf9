// Our audio layer's device state: whether BASS_Init has opened an output (see bass_device.cpp).
#pragma once

extern bool g_bass_ready;  // BASS_Init succeeded and BASS_Free has not run since
