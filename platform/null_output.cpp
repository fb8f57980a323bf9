// The silent output: a thread of its own takes a buffer from the mixer every 10 ms of the steady
// clock and drops it, so playing streams move on as they would on a device, with nothing heard.
#include "platform/null_output.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

typedef std::chrono::steady_clock null_clock;

// A short buffer keeps what the mixer takes for heard close to the steady clock.
static const int k_buffers_per_second = 100;

static audio_output_fill g_null_fill = nullptr;
static int g_null_frames = 0;
static std::thread g_null_thread;

// The output's lock: held around every call of the mixer.
static std::mutex g_null_device;

// Pause and close requests, and the thread's sleep between buffers.
static std::mutex g_null_state;
static std::condition_variable g_null_wake;
static bool g_null_paused = true;
static bool g_null_quit = false;

static void take_buffers()
{
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(g_null_frames) * 2);
    const auto period = std::chrono::nanoseconds(1000000000LL / k_buffers_per_second);
    null_clock::time_point next = null_clock::now();
    for (;;) {
        {
            std::unique_lock<std::mutex> state(g_null_state);
            if (g_null_paused && !g_null_quit) {
                g_null_wake.wait(state, [] { return !g_null_paused || g_null_quit; });
                next = null_clock::now();  // a resumed stream goes on at once
            }
            if (g_null_quit) return;
            // woken early by a pause or a close: look again before taking anything
            if (g_null_wake.wait_until(state, next, [] { return g_null_paused || g_null_quit; }))
                continue;
        }
        {
            std::lock_guard<std::mutex> device(g_null_device);
            g_null_fill(buffer.data(), g_null_frames);
        }
        // a thread held up by a busy machine catches up, so the samples follow the clock
        next += period;
    }
}

bool null_output_open(int rate, audio_output_fill fill)
{
    g_null_fill = fill;
    g_null_frames = rate / k_buffers_per_second > 0 ? rate / k_buffers_per_second : 1;
    g_null_paused = true;
    g_null_quit = false;
    try {
        g_null_thread = std::thread(take_buffers);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void null_output_close()
{
    {
        std::lock_guard<std::mutex> state(g_null_state);
        g_null_quit = true;
    }
    g_null_wake.notify_all();
    if (g_null_thread.joinable()) g_null_thread.join();
}

void null_output_lock()
{
    g_null_device.lock();
}

void null_output_unlock()
{
    g_null_device.unlock();
}

void null_output_pause(bool paused)
{
    {
        std::lock_guard<std::mutex> state(g_null_state);
        g_null_paused = paused;
    }
    g_null_wake.notify_all();
}
