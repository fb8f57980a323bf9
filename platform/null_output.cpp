// The silent output: a thread of its own takes a buffer from the mixer every 10 ms of the steady
// clock and drops it, so playing streams move on as they would on a device, with nothing heard.
#include "platform/null_output.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

typedef std::chrono::steady_clock null_clock;

// A short buffer keeps what the mixer takes for heard close to the steady clock.
static const int k_buffers_per_second = 100;

// What the output's thread shares with the caller. Made when the output opens and released
// when it closes; a program that ends with the output open leaves it as it is, so nothing is
// torn down under the thread while it waits (exit ends the thread).
struct null_device {
    audio_output_fill fill = nullptr;
    int frames = 0;
    std::thread thread;
    std::mutex device;  // the output's lock: held around every call of the mixer
    std::mutex state;   // guards the requests below and the thread's sleep between buffers
    std::condition_variable wake;
    bool paused = true;
    bool quit = false;
};

static null_device* g_null = nullptr;

static void take_buffers(null_device* d)
{
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(d->frames) * 2);
    const auto period = std::chrono::nanoseconds(1000000000LL / k_buffers_per_second);
    null_clock::time_point next = null_clock::now();
    for (;;) {
        {
            std::unique_lock<std::mutex> state(d->state);
            if (d->paused && !d->quit) {
                d->wake.wait(state, [d] { return !d->paused || d->quit; });
                next = null_clock::now();  // a resumed stream goes on at once
            }
            if (d->quit) return;
            // woken early by a pause or a close: look again before taking anything
            if (d->wake.wait_until(state, next, [d] { return d->paused || d->quit; })) continue;
        }
        {
            std::lock_guard<std::mutex> device(d->device);
            d->fill(buffer.data(), d->frames);
        }
        // a thread held up by a busy machine catches up, so the samples follow the clock
        next += period;
    }
}

bool null_output_open(int rate, audio_output_fill fill)
{
    null_device* d = new null_device;
    d->fill = fill;
    d->frames = rate / k_buffers_per_second > 0 ? rate / k_buffers_per_second : 1;
    try {
        d->thread = std::thread(take_buffers, d);
    } catch (const std::system_error&) {
        delete d;
        return false;
    }
    g_null = d;
    return true;
}

void null_output_close()
{
    if (!g_null) return;
    {
        std::lock_guard<std::mutex> state(g_null->state);
        g_null->quit = true;
    }
    g_null->wake.notify_all();
    g_null->thread.join();
    delete g_null;
    g_null = nullptr;
}

void null_output_lock()
{
    g_null->device.lock();
}

void null_output_unlock()
{
    g_null->device.unlock();
}

void null_output_pause(bool paused)
{
    {
        std::lock_guard<std::mutex> state(g_null->state);
        g_null->paused = paused;
    }
    g_null->wake.notify_all();
}
