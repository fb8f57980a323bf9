// Our audio layer's playback position: play, seek, and the position of the sample heard now.
//
// The audio thread publishes where the listener is at each device callback; a reader adds
// the steady time since then, so the position grows smoothly between callbacks, and costs a
// clock read and a few loads: no lock is taken on the read path.
#include <SDL/SDL.h>

#include <chrono>
#include <cmath>

#include "platform/bass_internal.h"

std::int64_t steady_now_ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Writers are the audio thread and, with the device locked, the caller's thread.
void publish_heard(bass_stream* s, double base, std::int64_t t0_ns, double cap, bool running)
{
    position_model& m = s->heard;
    std::uint32_t seq = m.seq.load(std::memory_order_relaxed);
    m.seq.store(seq + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    m.base.store(base, std::memory_order_relaxed);
    m.t0_ns.store(t0_ns, std::memory_order_relaxed);
    m.cap.store(cap, std::memory_order_relaxed);
    m.running.store(running ? 1 : 0, std::memory_order_relaxed);
    m.seq.store(seq + 2, std::memory_order_release);
}

// Called with the device locked (or with no device). With an output the position stands at
// `frame` until the next callback says when that frame reaches the speaker; on the
// "no sound" device the steady clock alone moves it.
void restart_from(bass_stream* s, double frame)
{
    s->next_frame = frame;
    s->continuous = false;
    s->last_read.store(frame, std::memory_order_relaxed);
    if (s->playing && !g_bass_has_output)
        publish_heard(s, frame, steady_now_ns(), static_cast<double>(s->frames), true);
    else
        publish_heard(s, frame, steady_now_ns(), frame, false);
}

double heard_frame(bass_stream* s)
{
    const position_model& m = s->heard;
    double base = 0.0;
    double cap = 0.0;
    std::int64_t t0 = 0;
    int running = 0;
    std::uint32_t before = 0;
    std::uint32_t after = 0;
    do {
        before = m.seq.load(std::memory_order_acquire);
        base = m.base.load(std::memory_order_relaxed);
        t0 = m.t0_ns.load(std::memory_order_relaxed);
        cap = m.cap.load(std::memory_order_relaxed);
        running = m.running.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        after = m.seq.load(std::memory_order_relaxed);
    } while (before != after || (before & 1u));

    double frame = base;
    if (running) {
        std::int64_t since = steady_now_ns() - t0;
        if (since > 0) frame += static_cast<double>(since) * 1e-9 * s->rate;
        if (frame > cap) frame = cap;
    }

    // a callback that comes early may place the listener a little behind the last reading
    double last = s->last_read.load(std::memory_order_relaxed);
    while (frame > last) {
        if (s->last_read.compare_exchange_weak(last, frame, std::memory_order_relaxed)) return frame;
    }
    return last;
}

static void lock_device()
{
    if (g_bass_has_output) SDL_LockAudio();
}

static void unlock_device()
{
    if (g_bass_has_output) SDL_UnlockAudio();
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    bass_stream* s = find_stream(handle);
    if (!s) return FALSE;

    lock_device();
    bool was_playing = s->playing;
    s->playing = true;
    if (restart) restart_from(s, 0.0);
    else if (!was_playing) restart_from(s, s->next_frame);
    unlock_device();

    // the device stays paused from BASS_Init until something plays
    if (g_bass_has_output) SDL_PauseAudio(0);
    return TRUE;
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos)
{
    bass_stream* s = find_stream(handle);
    if (!s) return FALSE;
    QWORD frame = pos / 4;
    if (frame > static_cast<QWORD>(s->frames)) return FALSE;

    lock_device();
    restart_from(s, static_cast<double>(frame));
    unlock_device();
    return TRUE;
}

// Without a stream (handle 0 among others) the position is 0.
QWORD BASS_ChannelGetPosition(DWORD handle)
{
    bass_stream* s = find_stream(handle);
    if (!s) return 0;
    return static_cast<QWORD>(std::floor(heard_frame(s))) * 4;
}

// Without a stream the time is 0.
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    bass_stream* s = find_stream(handle);
    if (!s) return 0.0f;
    return static_cast<float>(static_cast<double>(pos) / (4.0 * s->rate));
}
