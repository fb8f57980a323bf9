// The files a capture run writes: checked before any work, written under a temporary name,
// renamed when whole, and all removed again if the run fails or is interrupted.
#pragma once

#include <string>

// A new file may go to `path`: its folder exists and takes files, and nothing is there yet
// (unless `force`, and then not a folder). False with the reason.
bool check_output_file(const std::string& path, bool force, std::string& error);

// `dir` exists and is a folder that takes files. False with the reason.
bool check_output_folder(const std::string& dir, std::string& error);

// Creates an empty temporary file beside `path` (hidden, same folder, so the final rename
// stays on one file system) and returns its name, "" with the reason on failure. It belongs
// to the run until committed.
std::string make_partial(const std::string& path, std::string& error);

// Gives the temporary file its final name. The final file still belongs to the run until
// keep_run_files.
bool commit_partial(const std::string& partial, const std::string& path, std::string& error);

// The run completed: its files stay.
void keep_run_files();

// The run failed or was interrupted: every file it made goes, whole or not.
void remove_run_files();
