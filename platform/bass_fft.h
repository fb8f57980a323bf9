// Our audio layer's spectrum: the transform behind BASS_ChannelGetData's FFT1024 request, set up
// and released with the device; its values come from pcm_spectrum (platform/pcm_spectrum.h).
#pragma once

bool init_spectrum();
void free_spectrum();
