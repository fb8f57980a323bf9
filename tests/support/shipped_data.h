// Test support: where the shipped data/ folder is.
#pragma once

#include <string>

// The folder that holds the shipped data/: the source tree, or VL_TEXTURES_DATA_ROOT when set
// (to check a set of pictures before it is merged).
std::string shipped_root();
