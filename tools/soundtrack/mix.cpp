// The mix: renders the score into its buses, adds spaces and echoes, sums them and limits the master.
#include "tools/soundtrack/score.h"

#include <cstddef>

const double k_piece_length = 84.0;

namespace {
const float k_master_gain = 0.92f;
const float k_ceiling = 0.72f;  // -2.9 dBFS, headroom for the encoder's overshoot
// How much wider than they are played the pads and the room are made.
const float k_pad_width = 1.6f;
const float k_space_width = 1.5f;

// Where the fill starts closing: the short picture step before the drop.
const double k_lift_from = k_slide_at[16];
}  // namespace

stereo_bus render_piece()
{
    long frames = to_sample(k_piece_length);
    piece_buses b = {make_bus(frames), make_bus(frames), make_bus(frames), make_bus(frames),
                     make_bus(frames), make_bus(frames), make_bus(frames), make_bus(frames),
                     make_bus(frames), make_bus(frames), make_bus(frames)};
    play_score(&b);

    // everything tonal but the kick's knock and the sub leaves the spectrum bins to them
    fx_clear_bins_band(&b.pads);
    fx_clear_bins_band(&b.arp);
    fx_clear_bins_band(&b.stabs);
    fx_clear_bins_band(&b.lead);
    fx_clear_bins_band(&b.bass_line);
    fx_clear_bins_band(&b.counter);
    fx_clear_bins_band(&b.hits);
    // the pads and the arpeggio spread wide; kick, bass and lead stay in the middle
    fx_widen(&b.pads, k_pad_width);
    double last_chord = final_chord_time();
    fx_duck(&b.pads, k_grid_start, last_chord, 0.5f, 0.14);
    fx_duck(&b.stabs, k_grid_start, last_chord, 0.3f, 0.1);

    // the first half of each tune plays the synths through a filter that opens only as it ends
    for (stereo_bus* bus : {&b.pads, &b.arp, &b.stabs, &b.lead, &b.counter})
        for (int part : {part_drop, part_lift})
            fx_lowpass_sweep(bus, part_start(part), part_end(part), 1500.0f, 5000.0f);

    stereo_bus echo_send = make_bus(frames), echoes = make_bus(frames);
    mix_into(&echo_send, b.lead, 0.5f);
    mix_into(&echo_send, b.arp, 0.6f);
    mix_into(&echo_send, b.counter, 0.3f);
    fx_pingpong(echo_send, &echoes, 0.375, 0.45f, 1.0f);

    stereo_bus space_send = make_bus(frames), space = make_bus(frames);
    mix_into(&space_send, b.pads, 0.5f);
    mix_into(&space_send, b.lead, 0.35f);
    mix_into(&space_send, b.arp, 0.4f);
    mix_into(&space_send, b.stabs, 0.4f);
    mix_into(&space_send, b.counter, 0.5f);
    mix_into(&space_send, b.hits, 0.5f);
    mix_into(&space_send, b.room_drums, 0.25f);
    mix_into(&space_send, b.fx, 0.6f);
    mix_into(&space_send, echoes, 0.3f);
    fx_reverb(space_send, &space, 0.85f, 0.45f, 1.0f);
    fx_clear_bins_band(&space);
    fx_widen(&space, k_space_width);

    // the band, filtered shut through the fill before the drop
    stereo_bus mix = make_bus(frames);
    mix_into(&mix, b.drums, 0.42f);
    mix_into(&mix, b.room_drums, 0.6f);
    mix_into(&mix, b.bass, 1.0f);
    mix_into(&mix, b.bass_line, 1.0f);
    mix_into(&mix, b.pads, 1.1f);
    mix_into(&mix, b.arp, 0.6f);
    mix_into(&mix, b.stabs, 0.8f);
    mix_into(&mix, b.lead, 0.95f);
    mix_into(&mix, b.counter, 0.8f);
    mix_into(&mix, echoes, 0.35f);
    mix_into(&mix, space, 1.2f);
    fx_lowpass_sweep(&mix, k_lift_from, k_lift_silence_from, 12000.0f, 300.0f);
    mix_into(&mix, b.fx, 0.8f);
    mix_into(&mix, b.hits, 0.9f);
    // a moment of silence, so the drop strikes out of nothing
    fx_silence(&mix, k_lift_silence_from, k_model_scene_at, 0.03);

    for (size_t i = 0; i < mix.left.size(); ++i) {
        mix.left[i] *= k_master_gain;
        mix.right[i] *= k_master_gain;
    }
    fx_limit(&mix, k_ceiling, 0.005, 0.08);
    return mix;
}
