// The files a capture run writes: checked before any work, written under a temporary name,
// renamed when whole, and all removed again if the run fails or is interrupted.
#include "tools/capture/output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

static std::vector<std::string> g_run_files;

static std::string folder_of(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

static std::string name_of(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool check_output_folder(const std::string& dir, std::string& error)
{
    struct stat st;
    if (stat(dir.c_str(), &st) != 0) error = "no folder " + dir;
    else if (!S_ISDIR(st.st_mode)) error = dir + " is not a folder";
    else if (access(dir.c_str(), W_OK | X_OK) != 0) error = "cannot write in " + dir;
    return error.empty();
}

bool check_output_file(const std::string& path, bool force, std::string& error)
{
    if (path.empty() || path.back() == '/') {
        error = "'" + path + "' names no file";
        return false;
    }
    if (!check_output_folder(folder_of(path), error)) return false;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) error = path + " is a folder";
        else if (!force) error = path + " exists (add --force to replace it)";
    }
    return error.empty();
}

std::string make_partial(const std::string& path, std::string& error)
{
    std::string name = folder_of(path) + "/." + name_of(path) + ".XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    int fd = mkstemp(buffer.data());
    if (fd < 0) {
        error = "cannot write in " + folder_of(path) + ": " + std::strerror(errno);
        return "";
    }
    // mkstemp makes the file private; the output gets the usual permissions
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    g_run_files.push_back(buffer.data());
    return buffer.data();
}

bool commit_partial(const std::string& partial, const std::string& path, std::string& error)
{
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    for (std::string& f : g_run_files) {
        if (f == partial) f = path;
    }
    return true;
}

void keep_run_files()
{
    g_run_files.clear();
}

void remove_run_files()
{
    for (const std::string& f : g_run_files) unlink(f.c_str());
    g_run_files.clear();
}
