// Test support: where the repository is, and the shipped data/ folder in it.
#pragma once

#include <string>

// The repository's root folder: the one place a test program learns it.
std::string repository_root();

// The folder that holds the shipped data/: the source tree, or VL_TEXTURES_DATA_ROOT when set
// (to check a set of pictures before it is merged).
std::string shipped_root();
