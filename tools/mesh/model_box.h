// The box the show's model scene is framed for: the show's own model fills it, just inside.
#pragma once

const double k_model_box_lo[3] = {-0.80809, -0.482216, -0.889488};
const double k_model_box_hi[3] = {1.13674, 0.48264, 0.830655};
