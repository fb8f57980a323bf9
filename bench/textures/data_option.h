// The texture benchmarks' one option of their own, --data=FOLDER, taken out of Google Benchmark's.
#pragma once

#include <string>

// Removes --data=FOLDER from argv (the rest stays for benchmark::Initialize) and sets `folder`.
// True when --help was asked: the caller prints its usage, lets Google Benchmark print its own,
// and ends.
bool take_data_option(int& argc, char** argv, std::string& folder);
