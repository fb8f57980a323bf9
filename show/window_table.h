// The window table: which scene the show draws between which two show times.
#pragma once

#include <GL/gl.h>

enum scene_kind {
    scene_title_strips,       // the two strips scrolling over white
    scene_billboard,          // a cut-out card over whatever is drawn
    scene_sliding_billboard,  // the title card sliding down
    scene_picture,            // a full-screen picture on black
    scene_model,              // the spinning backdrop and the model
    scene_model_billboard,    // a card over the model: texture generation off first
};

// One time window [from, until) of show time and its scene. Where a scene moves,
// its placement follows the frame time and the columns hold where it stands at rest.
struct show_window {
    double from;  // k_no_lower_bound: the window has no start
    double until;
    scene_kind kind;
    const GLuint* texture;
    float x, y, z;
};

extern const double k_no_lower_bound;

// The rows of the table. A row left out would be drawn as an empty window [0, 0), which
// timeline.window_table.every_row_starts_before_it_ends refuses; one too many does not compile.
constexpr int k_window_count = 29;

extern const show_window g_window_table[k_window_count];
