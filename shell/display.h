// Opens the show's fullscreen OpenGL window and sets the fixed rendering state.
#pragma once

// Opens the fullscreen window with its OpenGL context and hides the cursor; false after an error box.
bool init_display(int width, int height);

// Sets viewport, projection, shading, clear values, depth test and hints for 1024x768; always true.
bool init_gl_state();
