// Test support: scratch folders under the system's temporary directory.
#pragma once

#include <string>

// Makes a fresh empty folder named vl-<what>-XXXXXX; returns its path, or "" when it cannot.
std::string make_temp_dir(const std::string& what = "test");

// Removes a folder and everything in it; nothing for an empty path.
void remove_dir(const std::string& dir);
