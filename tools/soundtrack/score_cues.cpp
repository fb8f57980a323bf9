// Events tied to the picture rather than the bar grid: the title card's gestures, the drop, the hits
// on the off-grid cues, the build's rise, and the last chord ringing out.
#include "tools/soundtrack/score.h"

#include <cmath>

void play_final_chord(piece_buses* b, double t)
{
    const chord& c = k_chords[chord_dm];
    drum_kick(&b->bass, t, k_kick_gain, c.pulse, k_knock_gain * 0.3f);
    drum_crash(&b->drums, t, 0.6f);
    fx_impact(&b->fx, t, 0.7f);
    voice_sub(&b->bass, t, 1.0, c.sub, 0.55f, 0.006);
    voice_bass(&b->bass_line, t, 0.9, c.bass, 0.3f);
    for (int note : c.pad) {
        voice_pad(&b->pads, t, 0.9, note, 0.2f, 0.8f);
        voice_stab(&b->stabs, t, note, 0.14f);
    }
    for (int note : c.low_pad) voice_pad(&b->pads, t, 0.9, note, 0.12f, 0.1f);
    voice_bell(&b->fx, t, 86, 0.22f, 0.2f);
    voice_bell(&b->fx, t + 0.004, 81, 0.18f, -0.2f);
    voice_bell(&b->fx, t + 0.008, 77, 0.14f, 0.0f);
}

std::vector<double> off_grid_cues()
{
    std::vector<double> cues(k_slide_at, k_slide_at + k_slide_count + 1);
    cues.insert(cues.end(), k_card_at, k_card_at + k_card_count);
    std::vector<double> off;
    for (double t : cues) {
        double beats = (t - k_grid_start) / k_beat;
        if (std::fabs(beats - std::round(beats)) > 1e-6) off.push_back(t);
    }
    return off;
}

// A picture that changes between beats lands on a stab of the chord under it, a crack and a crash.
static void play_cue_hit(piece_buses* b, double t)
{
    for (int note : chord_at(t).pad) voice_stab(&b->hits, t, note + 12, 0.2f);
    drum_backbeat(&b->hits, t, 0.7f);
    drum_hat(&b->hits, t, 0.9f, true);
}

void play_accents(piece_buses* b)
{
    // the title billboard appears
    fx_reverse_cymbal(&b->fx, k_title_card_at, 1.6, 0.22f);
    fx_impact(&b->fx, k_title_card_at, 0.15f);
    voice_bell(&b->fx, k_title_card_at, 77, 0.16f, -0.3f);
    voice_bell(&b->fx, k_title_card_at, 81, 0.14f, 0.3f);
    voice_bell(&b->fx, k_title_card_at, 84, 0.12f, 0.0f);
    // rises to the billboard's slide, strikes as it starts, falls with it, lands on the first beat
    fx_riser(&b->fx, 7.8, k_title_card_slides_at, 0.3f);
    drum_tom(&b->room_drums, k_title_card_slides_at, 50, 0.7f);
    fx_impact(&b->fx, k_title_card_slides_at, 0.2f);
    voice_bell(&b->fx, k_title_card_slides_at, 74, 0.18f, 0.0f);
    fx_downsweep(&b->fx, k_title_card_slides_at, k_first_slide_at, 0.35f);
    fx_reverse_cymbal(&b->fx, k_first_slide_at, 1.0, 0.25f);
    fx_impact(&b->fx, k_first_slide_at, 0.6f);
    // the rise into the lift, the drop
    fx_riser(&b->fx, k_slide_at[16], k_lift_silence_from, 0.24f);
    // the drop: everything strikes at once out of the silence
    fx_impact(&b->fx, k_model_scene_at, 0.8f);
    drum_crash(&b->drums, k_model_scene_at, 0.5f);
    for (int note : k_chords[chord_dm].pad) voice_stab(&b->stabs, k_model_scene_at, note, 0.16f);
    drum_backbeat(&b->hits, k_model_scene_at, 0.6f);
    // the pictures off the beat: a cymbal drawn in backwards, then the hit
    for (double t : off_grid_cues()) {
        fx_reverse_cymbal(&b->fx, t, 1.0, 0.14f);
        play_cue_hit(b, t);
    }
    // the riser through the break into the return, and the build's long rise into the climax
    fx_riser(&b->fx, part_end(part_break) - 4.0, part_end(part_break), 0.35f);
    fx_riser(&b->fx, part_start(part_build), part_start(part_climax), 0.3f);
    fx_impact(&b->fx, part_start(part_climax), 0.6f);
}
