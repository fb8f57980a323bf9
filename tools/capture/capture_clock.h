// The capture tool's show clock: stands at the time of the frame being rendered.
#pragma once

// Every reading of the show clock returns t until the next call.
void set_capture_time(float t);

// The show time of frame k of a run starting at `start` at `fps` frames a second: start + k / fps.
double frame_time(double start, long k, int fps);
