// The capture's own OpenGL context and frame read-back: an X window when a display is reachable,
// SDL's offscreen driver (EGL, no display at all) otherwise; the show drawn in a 4:3 box of a
// framebuffer `supersample` times the frame's size, and filtered down as it is read back.
#pragma once

#include <string>
#include <vector>

// Where the show's 4:3 picture sits in a frame, in pixels, y counted from the bottom.
struct frame_box {
    int x, y, width, height;
};

// The largest 4:3 box centred in a width x height frame: pillarboxed in a wider frame,
// letterboxed in a taller one.
frame_box show_box(int width, int height);

// Opens the context (the show's own context attributes) and its framebuffer, sets the show's GL
// state with its viewport on the box; false with the reason.
bool open_capture_context(int width, int height, int supersample, std::string& error);

// Bytes of memory the framebuffer and the read-back take for frames of width x height drawn
// supersample times over (the framebuffer as this machine's software OpenGL stores it).
double frame_memory_bytes(int width, int height, int supersample);

// The SDL video driver in use ("x11", "offscreen", ...).
std::string capture_video_driver();

// The last frame presented by a buffer swap: RGB, rows from the top, black outside the box; each
// pixel the mean of its supersample x supersample samples, in linear light.
const std::vector<unsigned char>& presented_frame();

void close_capture_context();
