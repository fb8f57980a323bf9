// Test support: where the repository is, and the shipped data/ folder in it.
#include "tests/support/shipped_data.h"

#include <cstdlib>

std::string repository_root()
{
    return VL_SOURCE_DIR;
}

std::string shipped_root()
{
    const char* other = std::getenv("VL_TEXTURES_DATA_ROOT");
    return other ? other : repository_root();
}
