// The show timeline: draws one frame for the current show time and ends the show at 83 s.
#pragma once

extern bool g_show_over;

// Draws and presents one frame; false, doing nothing, once the show is over.
bool render_frame();
