// The show's times in seconds of playback: every cue of the picture, read by the window table,
// the timeline, the soundtrack's score, its measuring tool and the tests.
#pragma once

// The title card stands over the strips, then slides down one unit a second.
constexpr double k_title_card_at = 6.35;
constexpr double k_title_card_slides_at = 10.9;
constexpr double k_title_strips_until = 12.8;

// The slideshow: one picture a second from the first beat of the groove, then two short steps
// before the model scene. Entry i is when picture i appears; the last entry ends the slideshow.
constexpr int k_slide_count = 19;
constexpr double k_slide_at[k_slide_count + 1] = {
    11.8, 12.8, 13.8, 14.8, 15.8, 16.8, 17.8, 18.8, 19.8, 20.8,
    21.8, 22.8, 23.8, 24.8, 25.8, 26.8, 27.8, 28.2, 28.8, 29.3,
};
constexpr double k_first_slide_at = k_slide_at[0];
constexpr double k_model_scene_at = k_slide_at[k_slide_count];

// The cards over the model scene; the last one stays until the end.
constexpr int k_card_count = 6;
// The first card comes with the model scene.
constexpr double k_card_at[k_card_count] = {k_model_scene_at, 31.5, 34.6, 38.6, 42.6, 46.6};

// The show ends once a frame's time reaches this, in the clock's own single precision.
constexpr float k_show_end = 83.0f;
