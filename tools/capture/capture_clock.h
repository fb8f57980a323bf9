// The capture tool's show clock: stands at whatever time the tool sets.
#pragma once

void set_capture_time(float t);
