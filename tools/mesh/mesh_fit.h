// Brings a model file's own scale and place into the show's model box (tools/mesh/model_box.h).
#pragma once

#include <string>

#include "tools/mesh/mesh_bake.h"

// What fitting did to a model. Sizes are the longest side of the bounding box of the
// vertices the faces use; centres are that box's centre.
struct model_fit {
    bool fitted = false;  // false: the model lay inside the box and is kept as the file has it
    double scale = 1.0;
    double from_centre[3] = {0, 0, 0};
    double to_centre[3] = {0, 0, 0};
    double longest_before = 0.0;
    double longest_after = 0.0;
};

// When the model's bounding box reaches outside the model box, scales it uniformly (proportions
// kept) so that its longest side is the box's longest side, and centres it on the box's centre.
// False with a message when a position is not a finite number.
bool fit_into_model_box(raw_mesh& m, model_fit& fit, std::string& error);

// One line saying how a fitted model was moved and scaled, for the baker's output.
std::string describe_fit(const model_fit& fit);
