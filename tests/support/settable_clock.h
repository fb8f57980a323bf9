// Test support: a show clock the test drives, linked in place of the soundtrack's clock.
#pragma once

#include <vector>

// Every reading returns this time while no script is queued.
void set_show_time(float t);

// Queues readings returned one per call, in order; once used up, the last one repeats.
void script_show_time(const std::vector<float>& readings);

// How many times the clock has been read since the last set or script.
int show_time_reads();
