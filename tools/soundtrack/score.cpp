// Plays the arrangement: walks the bars, places every note and hit, and adds the one-off accents.
#include "score.h"

#include <algorithm>
#include <cmath>

namespace {
// Sixteenth-note arpeggio over the chord: three pad notes and the root an octave up.
const int k_arp_order[8] = {0, 1, 2, 3, 2, 1, 3, 1};
// Closed-hat level on the four sixteenths of a beat: the off-beat is the strong one.
const float k_hat_accent[4] = {0.35f, 0.22f, 1.0f, 0.22f};

// The bass line on the sixteenths of a bar, in semitones over the chord's bass root; the first
// sixteenth of every beat is left to the kick, the last one walks to the next chord.
const int k_rest = -99;
const int k_bass_line[16] = {k_rest, 0, 12, 0, k_rest, 0, 12, 7, k_rest, 0, 12, 0, k_rest, 12, 10, k_rest};

// How loud the kick and its knock play for a part's kick and pulse levels.
const float k_knock_gain = 2.1f;
const float k_kick_gain = 0.42f;

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
    // the low voicing, darker, fills the low mids under the bins
    for (int note : c.low_pad) voice_pad(&b->pads, start, held + 0.4, note, p.low_pad / 3.0f, 0.05f);
    if (p.arp <= 0.0f) return;
    int arp_notes[4] = {c.pad[0] + 12, c.pad[1] + 12, c.pad[2] + 12, c.pad[0] + 24};
    for (int s = 0; s < bar.beats * 4; ++s) {
        int note = arp_notes[k_arp_order[s % 8]];
        voice_arp(&b->arp, beat_time(bar_beat + s * 0.25), note, p.arp * (s % 4 == 0 ? 1.0f : 0.7f), bright,
                  s % 2 ? 0.45f : -0.45f);
    }
}

void play_bass_line(piece_buses* b, const bar_plan& bar, double bar_beat, int bar_index, float level)
{
    int root = k_chords[bar.chord].bass;
    int next = bar_index + 1 < k_bar_count ? k_chords[k_bars[bar_index + 1].chord].bass : root;
    for (int s = 0; s < bar.beats * 4; ++s) {
        int step = k_bass_line[s % 16];
        bool last = s == bar.beats * 4 - 1;
        if (step == k_rest && !last) continue;
        // into the next chord from a semitone away
        int note = last ? next + (next > root ? -1 : 1) : root + step;
        voice_bass(&b->bass_line, beat_time(bar_beat + s * 0.25), 0.11, note, level * (s % 2 ? 1.0f : 0.85f));
    }
}

void play_groove(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p, int bar_index)
{
    const chord& c = k_chords[bar.chord];
    for (int k = 0; k < bar.beats; ++k) {
        double beat = bar_beat + k;
        float accent = k_beat_accent[k % 4];
        if (p.kick > 0.0f)
            drum_kick(&b->bass, beat_time(beat), k_kick_gain * p.kick * (0.8f + 0.2f * accent), c.pulse,
                      k_knock_gain * p.pulse * accent);
        else if (p.pulse > 0.0f) voice_pulse(&b->bass, beat_time(beat), c.pulse, p.pulse * accent);
        if (p.clap > 0.0f && k % 2 == 1) drum_clap(&b->room_drums, beat_time(beat), p.clap);
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
    if (p.bass > 0.0f) play_bass_line(b, bar, bar_beat, bar_index, p.bass);
    // the sub holds the root under the pads where no bass line plays
    if (p.sub > 0.0f) {
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
    // the build's roll doubles its pace every bar-half and swells into the climax
    if (bar.part == part_build) {
        for (double x = 0.0; x < bar.beats;) {
            drum_snare(&b->room_drums, beat_time(bar_beat + x), 0.2f + 0.5f * (float)(x / bar.beats));
            x += x < 2.0 ? 0.5 : (x < 3.0 ? 0.25 : 0.125);
        }
    }
    if (bar.part == part_fill) {
        for (double x = 1.0; x < bar.beats; x += 0.25)
            drum_snare(&b->room_drums, beat_time(bar_beat + x), 0.15f + 0.3f * (float)(x / bar.beats));
    }
}

// The last chord, on the beat after the climax, ringing out to silence before the show ends.
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

// Events tied to the picture rather than the bar grid.
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
    // the short picture step and the change off the beat, the rise into the lift, the drop
    drum_tom(&b->room_drums, k_slide_at[17], 59, 0.6f);
    fx_riser(&b->fx, k_slide_at[16], k_lift_silence_from, 0.24f);
    // the drop: everything strikes at once out of the silence
    fx_impact(&b->fx, k_model_scene_at, 0.8f);
    drum_crash(&b->drums, k_model_scene_at, 0.5f);
    for (int note : k_chords[chord_dm].pad) voice_stab(&b->stabs, k_model_scene_at, note, 0.16f);
    for (int i = 1; i < k_card_count; ++i) fx_reverse_cymbal(&b->fx, k_card_at[i], 1.0, 0.14f);
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
        play_groove(b, bar, beat, p, i);
        play_tune(b, bar, beat, p, i);
        play_fills(b, bar, beat, i);
        beat += bar.beats;
    }
    play_final_chord(b, beat_time(beat));
    play_accents(b);
}

double final_chord_time()
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) beat += k_bars[i].beats;
    return beat_time(beat);
}

double part_start(int part)
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) {
        if (k_bars[i].part == part) return beat_time(beat);
        beat += k_bars[i].beats;
    }
    return -1.0;
}

double part_end(int part)
{
    double beat = k_first_bar_beat, end = -1.0;
    for (int i = 0; i < k_bar_count; ++i) {
        beat += k_bars[i].beats;
        if (k_bars[i].part == part) end = beat_time(beat);
    }
    return end;
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
