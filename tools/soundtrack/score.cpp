// Plays the arrangement: walks the bars, places every note and hit, and adds the one-off accents.
#include "score.h"

#include <algorithm>

namespace {
// Sixteenth-note arpeggio over the chord: three pad notes and the root an octave up.
const int k_arp_order[8] = {0, 1, 2, 3, 2, 1, 3, 1};
// Closed-hat level on the four sixteenths of a beat: the off-beat is the strong one.
const float k_hat_accent[4] = {0.35f, 0.22f, 1.0f, 0.22f};

// Reverse cymbals that swell into each change of billboard over the model scene.
const double k_billboard_changes[5] = {31.5, 34.6, 38.6, 42.6, 46.6};

void play_tune(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p, int bar_index)
{
    if (bar.phrase < 0) return;
    const phrase& tune = k_phrases[bar.phrase];
    double from = bar.phrase_bar * 4.0, until = from + bar.beats;
    for (int i = 0; i < tune.count; ++i) {
        const phrase_note& n = tune.notes[i];
        if (n.beat < from || n.beat >= until) continue;
        double start = beat_time(bar_beat + n.beat - from);
        if (p.lead > 0.0f) voice_lead(&b->lead, start, n.length * k_beat * 0.92, n.note, p.lead);
        if (p.bell_lead > 0.0f)
            voice_bell(&b->fx, start, n.note, p.bell_lead * 0.5f, (i + bar_index) % 2 ? 0.35f : -0.35f);
    }
}

void play_pads_and_arp(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p)
{
    const chord& c = k_chords[bar.chord];
    double start = std::max(0.0, beat_time(bar_beat));
    double held = beat_time(bar_beat + bar.beats) - start;
    // the intro opens up slowly towards the first beat
    float bright = std::min(1.0f, std::max(0.15f, (float)(start / k_grid_start)));
    // each chord is held into the next one's swell, so the change does not dip
    for (int note : c.pad) voice_pad(&b->pads, start, held + 0.4, note, p.pad / 3.0f, 0.35f + 0.3f * bright);
    if (p.arp <= 0.0f) return;
    int arp_notes[4] = {c.pad[0] + 12, c.pad[1] + 12, c.pad[2] + 12, c.pad[0] + 24};
    for (int s = 0; s < bar.beats * 4; ++s) {
        int note = arp_notes[k_arp_order[s % 8]];
        voice_arp(&b->arp, beat_time(bar_beat + s * 0.25), note, p.arp * (s % 4 == 0 ? 1.0f : 0.7f), bright,
                  s % 2 ? 0.45f : -0.45f);
    }
}

void play_groove(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p)
{
    const chord& c = k_chords[bar.chord];
    for (int k = 0; k < bar.beats; ++k) {
        double beat = bar_beat + k;
        if (p.kick > 0.0f) drum_kick(&b->drums, beat_time(beat), p.kick);
        if (p.pulse > 0.0f) voice_pulse(&b->bass, beat_time(beat), c.pulse, p.pulse);
        if (p.clap > 0.0f && k % 2 == 1) drum_clap(&b->room_drums, beat_time(beat), p.clap);
        if (p.sub > 0.0f && p.kick > 0.0f) voice_sub(&b->bass, beat_time(beat + 0.5), 0.2, c.sub, p.sub, 0.006);
        if (p.open_hats > 0.0f) drum_hat(&b->drums, beat_time(beat + 0.5), p.open_hats, true);
        for (int s = 0; s < 4 && p.hats > 0.0f; ++s) {
            if (s != 2 && !p.ghost_hats) continue;
            if (s == 2 && p.open_hats > 0.0f) continue;
            drum_hat(&b->drums, beat_time(beat + s * 0.25), p.hats * k_hat_accent[s], false);
        }
        bool picture_beat = k % 2 == 0;
        for (int note : c.pad) {
            if (p.stab_on_pictures > 0.0f && picture_beat)
                voice_stab(&b->stabs, beat_time(beat), note, p.stab_on_pictures / 3.0f);
            if (p.stab_offbeat > 0.0f && k % 2 == 1)
                voice_stab(&b->stabs, beat_time(beat + 0.5), note, p.stab_offbeat / 3.0f);
        }
    }
    // with no beat, the sub holds the root under the pads
    if (p.sub > 0.0f && p.kick <= 0.0f) {
        double start = std::max(0.0, beat_time(bar_beat));
        voice_sub(&b->bass, start, beat_time(bar_beat + bar.beats) - start + 0.3, c.sub, p.sub, 0.6);
    }
}

// How many bars of the same part come before this one.
int bars_into_part(int bar_index)
{
    int first = bar_index;
    while (first > 0 && k_bars[first - 1].part == k_bars[bar_index].part) --first;
    return bar_index - first;
}

// Snare rolls that thicken towards the end of a bar, falling toms, and a pickup closing each
// four-bar phrase of the groove.
void play_fills(piece_buses* b, const bar_plan& bar, double bar_beat, int bar_index)
{
    const part_layers& p = k_parts[bar.part];
    if (p.clap > 0.0f && bar.part != part_build && bars_into_part(bar_index) % 4 == 3) {
        drum_snare(&b->room_drums, beat_time(bar_beat + 3.5), 0.3f);
        drum_snare(&b->room_drums, beat_time(bar_beat + 3.75), 0.4f);
    }
    if (bar.part == part_build) {
        int nth = bars_into_part(bar_index);  // 0..3
        double step = nth < 2 ? 1.0 : (nth == 2 ? 0.5 : 0.25);
        for (double x = 0.0; x < bar.beats; x += step) {
            float rise = (float)((nth * 4 + x) / 16.0);
            drum_snare(&b->room_drums, beat_time(bar_beat + x), 0.2f + 0.5f * rise);
        }
    }
    if (bar.part == part_fill) {
        for (double x = 1.0; x < bar.beats; x += 0.25)
            drum_snare(&b->room_drums, beat_time(bar_beat + x), 0.15f + 0.3f * (float)(x / bar.beats));
    }
    if (bar.part == part_ending) {
        const int toms[6] = {57, 55, 52, 50, 47, 45};
        for (int i = 0; i < 6; ++i) drum_tom(&b->room_drums, beat_time(bar_beat + i * 0.5), toms[i], 0.55f);
        for (double x = 2.0; x < bar.beats; x += 0.25) drum_snare(&b->room_drums, beat_time(bar_beat + x), 0.45f);
    }
}

// The last chord, on the beat just before the show's end, ringing out past it.
void play_final_hit(piece_buses* b, double beat)
{
    double t = beat_time(beat);
    const chord& c = k_chords[chord_dm];
    drum_kick(&b->drums, t, 1.0f);
    drum_crash(&b->drums, t, 0.6f);
    fx_impact(&b->fx, t, 0.7f);
    voice_pulse(&b->bass, t, c.pulse, 0.3f);
    voice_sub(&b->bass, t, 1.4, c.sub, 0.55f, 0.006);
    for (int note : c.pad) {
        voice_pad(&b->pads, t, 1.2, note, 0.22f, 0.8f);
        voice_stab(&b->stabs, t, note, 0.14f);
    }
    voice_bell(&b->fx, t, 86, 0.22f, 0.2f);
    voice_bell(&b->fx, t + 0.004, 81, 0.18f, -0.2f);
}

// Events tied to the picture rather than the bar grid.
void play_accents(piece_buses* b)
{
    // the title billboard appears at 6.35 s
    fx_reverse_cymbal(&b->fx, 6.35, 1.6, 0.22f);
    voice_bell(&b->fx, 6.35, 77, 0.16f, -0.3f);
    voice_bell(&b->fx, 6.35, 81, 0.14f, 0.3f);
    voice_bell(&b->fx, 6.35, 84, 0.12f, 0.0f);
    // rises to the billboard's slide, falls with it, lands on the first beat
    fx_riser(&b->fx, 7.8, 10.9, 0.3f);
    fx_downsweep(&b->fx, 10.9, 11.8, 0.35f);
    fx_reverse_cymbal(&b->fx, 11.8, 1.0, 0.25f);
    fx_impact(&b->fx, 11.8, 0.6f);
    // the short picture step at 27.8 s and the change at 28.2 s, then the drop at 29.3 s
    drum_tom(&b->room_drums, 28.2, 59, 0.6f);
    fx_riser(&b->fx, 27.8, 29.3, 0.24f);
    fx_reverse_cymbal(&b->fx, 29.3, 1.5, 0.3f);
    fx_impact(&b->fx, 29.3, 0.75f);
    for (double t : k_billboard_changes) fx_reverse_cymbal(&b->fx, t, 1.0, 0.14f);
    // the build's long rise into the climax
    double build = 0.0, climax = 0.0, beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) {
        if (k_bars[i].part == part_build && build == 0.0) build = beat_time(beat);
        if (k_bars[i].part == part_climax && climax == 0.0) climax = beat_time(beat);
        beat += k_bars[i].beats;
    }
    fx_riser(&b->fx, build, climax, 0.3f);
    fx_impact(&b->fx, climax, 0.6f);
}
}  // namespace

void play_score(piece_buses* b)
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) {
        const bar_plan& bar = k_bars[i];
        const part_layers& p = k_parts[bar.part];
        // a crash marks every change of part once the beat has started
        if (i > 0 && bar.part != k_bars[i - 1].part && beat >= 0.0) drum_crash(&b->drums, beat_time(beat), 0.45f);
        play_pads_and_arp(b, bar, beat, p);
        play_groove(b, bar, beat, p);
        play_tune(b, bar, beat, p, i);
        play_fills(b, bar, beat, i);
        beat += bar.beats;
    }
    play_final_hit(b, beat);
    play_accents(b);
}
