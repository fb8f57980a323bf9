// The video output: raw frames piped to ffmpeg, which encodes H.264 and muxes the soundtrack's span.
#include "tools/capture/video_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "tools/capture/interrupt.h"

extern char** environ;

static pid_t g_ffmpeg = 0;
static int g_pipe = -1;
static std::string g_log;  // ffmpeg's own messages, shown when it fails

std::string find_ffmpeg()
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string candidate = (dir.empty() ? "." : dir) + "/ffmpeg";
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

static void put_le(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

bool write_wav(const std::string& path, const std::int16_t* samples, std::int64_t frames, int rate)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::uint32_t data_bytes = static_cast<std::uint32_t>(frames * 4);
    out.write("RIFF", 4);
    put_le(out, 36 + data_bytes, 4);
    out.write("WAVEfmt ", 8);
    put_le(out, 16, 4);
    put_le(out, 1, 2);  // PCM
    put_le(out, 2, 2);
    put_le(out, static_cast<std::uint32_t>(rate), 4);
    put_le(out, static_cast<std::uint32_t>(rate) * 4, 4);
    put_le(out, 4, 2);
    put_le(out, 16, 2);
    out.write("data", 4);
    put_le(out, data_bytes, 4);
    // the samples are little-endian already on every machine this builds for
    out.write(reinterpret_cast<const char*>(samples), static_cast<std::streamsize>(data_bytes));
    out.close();
    return static_cast<bool>(out);
}

static std::vector<std::string> ffmpeg_arguments(const video_settings& s)
{
    std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    return {s.ffmpeg, "-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-f", "rawvideo", "-pix_fmt",
            "rgb24", "-video_size", size, "-framerate", std::to_string(s.fps), "-i", "pipe:0", "-f", "wav", "-i",
            s.sound, "-map", "0:v:0", "-map", "1:a:0",
            // BT.709 conversion, tagged as such, so players show the show's colours
            "-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p", "-c:v", "libx264", "-threads",
            std::to_string(k_encoder_threads), "-preset", "medium", "-crf", "17", "-colorspace", "bt709",
            "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv", "-c:a", "aac", "-b:a",
            "192k", "-movflags", "+faststart", "-f", "mp4", s.file};
}

bool start_video(const video_settings& settings, std::string& error)
{
    char log_name[] = "/tmp/vellamor-capture-ffmpeg.XXXXXX";
    int log_fd = mkstemp(log_name);
    if (log_fd < 0) {
        error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return false;
    }
    g_log = log_name;
    int fds[2];
    if (pipe(fds) != 0) {
        close(log_fd);
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, log_fd, 1);
    posix_spawn_file_actions_adddup2(&actions, log_fd, 2);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // its own process group, so the terminal's Ctrl-C comes to us alone; and the default
    // signal actions, since this process ignores SIGPIPE
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> args = ffmpeg_arguments(settings);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int failed = posix_spawn(&g_ffmpeg, settings.ffmpeg.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(fds[0]);
    close(log_fd);
    if (failed) {
        close(fds[1]);
        g_ffmpeg = 0;
        unlink(g_log.c_str());
        error = "cannot start " + settings.ffmpeg + ": " + std::strerror(failed);
        return false;
    }
    g_pipe = fds[1];
    fcntl(g_pipe, F_SETFD, FD_CLOEXEC);
    return true;
}

// ffmpeg's last lines, for the message when it fails.
static std::string ffmpeg_complaint()
{
    std::ifstream in(g_log);
    std::string line, text;
    while (std::getline(in, line)) {
        if (!line.empty()) text = line;
    }
    return text.empty() ? "" : ": " + text;
}

static int wait_ffmpeg()
{
    int status = 0;
    while (waitpid(g_ffmpeg, &status, 0) < 0 && errno == EINTR) {
        // Ctrl-C while ffmpeg finishes the file: it need not finish
        if (interrupted()) kill(g_ffmpeg, SIGTERM);
    }
    g_ffmpeg = 0;
    return status;
}

bool write_video_frame(const unsigned char* rgb, std::size_t bytes, std::string& error)
{
    while (bytes > 0) {
        ssize_t n = write(g_pipe, rgb, bytes);
        if (n < 0 && errno == EINTR && !interrupted()) continue;
        if (n < 0) {
            if (!interrupted()) error = "ffmpeg stopped taking frames" + ffmpeg_complaint();
            return false;
        }
        rgb += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

bool finish_video(std::string& error)
{
    close(g_pipe);
    g_pipe = -1;
    int status = wait_ffmpeg();
    bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) error = "ffmpeg failed" + ffmpeg_complaint();
    unlink(g_log.c_str());
    return ok;
}

void abort_video()
{
    if (g_pipe >= 0) close(g_pipe);
    g_pipe = -1;
    if (g_ffmpeg > 0) {
        kill(g_ffmpeg, SIGTERM);
        wait_ffmpeg();
    }
    if (!g_log.empty()) unlink(g_log.c_str());
}
