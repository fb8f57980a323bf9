// The model scene: spinning backdrop and the sphere-mapped model that moves with the music.
#pragma once

// Draws the scene for frame time t, reading spectrum values 6 and 7.
void draw_model_scene(float t);
