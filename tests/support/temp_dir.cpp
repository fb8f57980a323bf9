// Test support: scratch folders under the system's temporary directory.
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

std::string make_temp_dir(const std::string& what)
{
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / ("vl-" + what + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) return "";
    return name.data();
}

void remove_dir(const std::string& dir)
{
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
}
