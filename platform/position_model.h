// Where the listener is in a stream: published by the mixer, read by any thread without a lock.
#pragma once

#include <atomic>
#include <cstdint>

// `base` frames are heard at steady time `t0_ns`, and while `running` the position then
// advances at the stream's rate, never past `cap` (the last frame handed to the output).
// Written by one thread at a time under a sequence counter: an odd `seq` means a write is
// under way. `last_read` keeps successive readings from going backwards.
struct position_model {
    std::atomic<std::uint32_t> seq{0};
    std::atomic<double> base{0.0};
    std::atomic<std::int64_t> t0_ns{0};
    std::atomic<double> cap{0.0};
    std::atomic<int> running{0};
    std::atomic<double> last_read{0.0};
};

std::int64_t steady_now_ns();

// Writers are the output's thread and, with the output locked, the caller's thread.
void publish_heard(position_model& m, double base, std::int64_t t0_ns, double cap, bool running);

// The frame heard now, for a stream of `rate` frames a second; never less than the last reading.
double heard_frame(position_model& m, int rate);

// Places the listener at `frame`, standing, and forgets earlier readings (a start or a seek).
void stand_at(position_model& m, double frame);
