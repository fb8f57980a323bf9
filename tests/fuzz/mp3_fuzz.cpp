// libFuzzer target: any bytes as the soundtrack file, through our audio layer's MP3 path.
//
// Each input is written to a memory file and opened by its path, as the show opens its
// soundtrack; a stream that is made is played, sought and read like the show does. Besides the
// sanitizers' findings, anything a library writes to stderr while the layer works is a failure:
// the layer's only voice is the error box.
#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/bass.h"

static int g_real_stderr = -1;
static int g_captured_stderr = -1;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // reports of the sanitizers still reach the real stderr while ours is captured
    g_real_stderr = dup(2);
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(g_real_stderr)));
    g_captured_stderr = memfd_create("stderr", 0);
    return 0;
}

static bool write_all(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// What the layer and its libraries wrote to stderr, if anything, goes to the real one, and ends
// the run as a finding.
static void check_quiet()
{
    off_t written = lseek(g_captured_stderr, 0, SEEK_END);
    if (written <= 0) return;
    char text[4096];
    ssize_t got = pread(g_captured_stderr, text, sizeof text, 0);
    if (got > 0) write_all(g_real_stderr, reinterpret_cast<std::uint8_t*>(text), static_cast<std::size_t>(got));
    const char why[] = "\nmp3_fuzz: the audio layer wrote the above to stderr\n";
    write_all(g_real_stderr, reinterpret_cast<const std::uint8_t*>(why), sizeof why - 1);
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int file = memfd_create("soundtrack.mp3", 0);
    if (file < 0 || !write_all(file, data, size)) std::abort();
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", file);

    ftruncate(g_captured_stderr, 0);
    std::fflush(stderr);
    dup2(g_captured_stderr, 2);

    // device 0 has no sound: the position follows the clock and nothing waits on a device
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr)) std::abort();
    HSTREAM stream = BASS_StreamCreateFile(FALSE, path, 0, 0, BASS_STREAM_PRESCAN);
    if (stream) {
        float spectrum[512];
        if (!BASS_ChannelPlay(stream, TRUE) || !BASS_ChannelSetPosition(stream, 0)) std::abort();
        BASS_ChannelGetData(stream, spectrum, BASS_DATA_FFT1024);
        float seconds = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream));
        // a stream that was made has a rate: its time is a number, and it starts near 0
        if (!(seconds >= 0.0f && seconds < 10.0f)) std::abort();
        for (float v : spectrum)
            if (!(v >= 0.0f)) std::abort();
        // seeks far and near, ahead and back, each decoding the frames before the one it lands on
        const QWORD frames[] = {30000, 2000, 2500, 200000, 0};
        for (QWORD frame : frames)
            if (BASS_ChannelSetPosition(stream, frame * 4))
                BASS_ChannelGetData(stream, spectrum, BASS_DATA_FFT1024);
    }
    BASS_Free();

    std::fflush(stderr);
    dup2(g_real_stderr, 2);
    check_quiet();
    close(file);
    return 0;
}
