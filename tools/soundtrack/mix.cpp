// The mix: renders the score into its buses, adds spaces and echoes, sums them and limits the master.
#include "score.h"

#include <cstddef>

const double k_piece_length = 86.0;

namespace {
const float k_master_gain = 0.88f;
const float k_ceiling = 0.84f;  // -1.5 dBFS, headroom for the encoder's overshoot

// Everything but the bass and drums is kept off the spectrum bins the model follows.
void clear_low_mids(stereo_bus* bus)
{
    biquad_bus(bus, biquad_highpass(330.0, 0.707));
    biquad_bus(bus, biquad_highpass(330.0, 0.707));
}
}  // namespace

stereo_bus render_piece()
{
    long frames = to_sample(k_piece_length);
    piece_buses b = {make_bus(frames), make_bus(frames), make_bus(frames), make_bus(frames),
                     make_bus(frames), make_bus(frames), make_bus(frames), make_bus(frames)};
    play_score(&b);

    clear_low_mids(&b.pads);
    clear_low_mids(&b.arp);
    clear_low_mids(&b.stabs);
    clear_low_mids(&b.lead);
    fx_duck(&b.pads, k_grid_start, 82.8, 0.5f, 0.14);
    fx_duck(&b.stabs, k_grid_start, 82.8, 0.3f, 0.1);

    stereo_bus echo_send = make_bus(frames), echoes = make_bus(frames);
    mix_into(&echo_send, b.lead, 0.5f);
    mix_into(&echo_send, b.arp, 0.6f);
    fx_pingpong(echo_send, &echoes, 0.375, 0.45f, 1.0f);

    stereo_bus space_send = make_bus(frames), space = make_bus(frames);
    mix_into(&space_send, b.pads, 0.5f);
    mix_into(&space_send, b.lead, 0.35f);
    mix_into(&space_send, b.arp, 0.4f);
    mix_into(&space_send, b.stabs, 0.4f);
    mix_into(&space_send, b.room_drums, 0.25f);
    mix_into(&space_send, b.fx, 0.6f);
    mix_into(&space_send, echoes, 0.3f);
    fx_reverb(space_send, &space, 0.85f, 0.45f, 1.0f);
    clear_low_mids(&space);

    stereo_bus mix = make_bus(frames);
    mix_into(&mix, b.drums, 0.42f);
    mix_into(&mix, b.room_drums, 0.6f);
    mix_into(&mix, b.bass, 1.0f);
    mix_into(&mix, b.pads, 1.1f);
    mix_into(&mix, b.arp, 0.6f);
    mix_into(&mix, b.stabs, 0.8f);
    mix_into(&mix, b.lead, 0.95f);
    mix_into(&mix, b.fx, 0.8f);
    mix_into(&mix, echoes, 0.35f);
    mix_into(&mix, space, 1.2f);
    for (size_t i = 0; i < mix.left.size(); ++i) {
        mix.left[i] *= k_master_gain;
        mix.right[i] *= k_master_gain;
    }
    fx_limit(&mix, k_ceiling, 0.005, 0.08);
    // the last crash and reverb are still ringing when the file ends: let them fade, not stop
    long fade = to_sample(0.6);
    for (long n = 0; n < fade; ++n) {
        float g = (float)n / fade;
        mix.left[frames - 1 - n] *= g;
        mix.right[frames - 1 - n] *= g;
    }
    return mix;
}
