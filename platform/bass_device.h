// Our audio layer's device state: whether BASS_Init has opened an output (see bass_device.cpp).
#pragma once

// BASS_Init succeeded and BASS_Free has not run since.
bool bass_ready();
