// Test support: where the shipped data/ folder is.
#include "tests/support/shipped_data.h"

#include <cstdlib>

std::string shipped_root()
{
    const char* other = std::getenv("VL_TEXTURES_DATA_ROOT");
    return other ? other : VL_SOURCE_DIR;
}
