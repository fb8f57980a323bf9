// Where the listener is in a stream: the mixer publishes it at each buffer; a reader adds the
// steady time since then, so the position grows smoothly between buffers, and costs a clock
// read and a few loads: no lock is taken on the read path.
#include "platform/position_model.h"

#include <chrono>

std::int64_t steady_now_ns()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void publish_heard(position_model& m, double base, std::int64_t t0_ns, double cap, bool running)
{
    std::uint32_t seq = m.seq.load(std::memory_order_relaxed);
    m.seq.store(seq + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    m.base.store(base, std::memory_order_relaxed);
    m.t0_ns.store(t0_ns, std::memory_order_relaxed);
    m.cap.store(cap, std::memory_order_relaxed);
    m.running.store(running ? 1 : 0, std::memory_order_relaxed);
    m.seq.store(seq + 2, std::memory_order_release);
}

void stand_at(position_model& m, double frame)
{
    m.last_read.store(frame, std::memory_order_relaxed);
    publish_heard(m, frame, steady_now_ns(), frame, false);
}

double heard_frame(position_model& m, int rate)
{
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
        if (since > 0) frame += static_cast<double>(since) * 1e-9 * rate;
        if (frame > cap) frame = cap;
    }

    // a buffer taken early may place the listener a little behind the last reading
    double last = m.last_read.load(std::memory_order_relaxed);
    while (frame > last) {
        if (m.last_read.compare_exchange_weak(last, frame, std::memory_order_relaxed)) return frame;
    }
    return last;
}
