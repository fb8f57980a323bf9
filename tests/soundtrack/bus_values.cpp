// A generator bus read through the show's own spectrum, for the soundtrack's tests.
#include "tests/soundtrack/bus_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/soundtrack/bin_spectrum.h"

static std::int16_t to_s16(float x)
{
    return (std::int16_t)std::clamp(std::lround(x * 32768.0f), -32768L, 32767L);
}

pcm as_pcm(const stereo_bus& bus)
{
    pcm p;
    for (size_t i = 0; i < bus.left.size(); ++i) {
        p.push_back(to_s16(bus.left[i]));
        p.push_back(to_s16(bus.right[i]));
    }
    return p;
}

float value_at(const pcm& p, double t, int k)
{
    start_spectrum_layer();
    float values[k_spectrum_size / 2];
    if (!pcm_spectrum_at(p.data(), (std::int64_t)p.size() / 2, k_rate, t, values)) {
        ADD_FAILURE() << "the audio layer did not start on its no-sound device";
        return 0.0f;
    }
    return values[k];
}
