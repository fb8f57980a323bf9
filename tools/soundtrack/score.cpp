// Plays the arrangement: walks the bars and places every note, hit and fill of each part.
#include "tools/soundtrack/score.h"

#include <algorithm>
#include <cmath>

// Sixteenth-note arpeggio over the chord: three pad notes and the root an octave up.
static const int k_arp_order[8] = {0, 1, 2, 3, 2, 1, 3, 1};
// Closed-hat level on the four sixteenths of a beat: the off-beat is the strong one.
static const float k_hat_accent[4] = {0.35f, 0.22f, 1.0f, 0.22f};

// How many bars of the same part come before this one.
static int bars_into_part(int bar_index)
{
    int first = bar_index;
    while (first > 0 && k_bars[first - 1].part == k_bars[bar_index].part) --first;
    return bar_index - first;
}

static bool last_bar_of_part(int bar_index)
{
    return bar_index + 1 == k_bar_count || k_bars[bar_index + 1].part != k_bars[bar_index].part;
}

enum tune_voice { tune_lead, tune_bells, tune_counter };

// Bar `tune_bar` of the tune k_phrases[index], played from bar_beat by one voice.
static void play_tune_bar(piece_buses* b, int index, int tune_bar, double bar_beat, int beats, tune_voice voice,
                          float level)
{
    const phrase& tune = k_phrases[index];
    double from = tune_bar * 4.0;
    for (int i = 0; i < tune.count; ++i) {
        const phrase_note& n = tune.notes[i];
        if (n.beat < from || n.beat >= from + beats) continue;
        double start = beat_time(bar_beat + n.beat - from);
        if (voice == tune_lead) voice_lead(&b->lead, start, n.length * k_beat * 0.92, n.note, level);
        if (voice == tune_bells)
            voice_bell(&b->fx, start, n.note, level * 0.5f, (i + tune_bar) % 2 ? 0.35f : -0.35f);
        if (voice == tune_counter) voice_counter(&b->counter, start, n.length * k_beat, n.note, level);
    }
}

static void play_tunes(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p, int bar_index)
{
    if (bar.phrase >= 0 && p.lead > 0.0f)
        play_tune_bar(b, bar.phrase, bar.phrase_bar, bar_beat, bar.beats, tune_lead, p.lead);
    if (bar.phrase >= 0 && p.bell_lead > 0.0f)
        play_tune_bar(b, bar.phrase, bar.phrase_bar, bar_beat, bar.beats, tune_bells, p.bell_lead);
    if (p.counter_tune >= 0 && p.counter > 0.0f)
        play_tune_bar(b, p.counter_tune, bars_into_part(bar_index), bar_beat, bar.beats, tune_counter, p.counter);
}

static void play_pads_and_arp(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p, int bar_index)
{
    const chord& c = k_chords[bar.chord];
    double start = std::max(0.0, beat_time(bar_beat));
    double held = beat_time(bar_beat + bar.beats) - start;
    // the intro opens up slowly towards the first beat; the break opens bar by bar into the return
    float bright = std::min(1.0f, std::max(0.15f, (float)(start / k_grid_start)));
    float pad_bright = 0.35f + 0.3f * bright;
    if (bar.part == part_break) pad_bright = 0.1f + 0.3f * bars_into_part(bar_index);
    // each chord is held into the next one's swell, so the change does not dip
    for (int note : c.pad) voice_pad(&b->pads, start, held + 0.4, note, p.pad / 3.0f, pad_bright);
    // the low voicing, darker, fills the low mids under the bins
    for (int note : c.low_pad) voice_pad(&b->pads, start, held + 0.4, note, p.low_pad / 3.0f, 0.05f);
    if (p.arp <= 0.0f) return;
    int arp_notes[4] = {c.pad[0] + 12, c.pad[1] + 12, c.pad[2] + 12, c.pad[0] + 24};
    // the filter opens through the part, from its own opening to twice that
    float open = std::min(1.0f, p.arp_open * (1.0f + bars_into_part(bar_index) / 3.0f));
    float arp_bright = bar_beat < 0.0 ? bright : 0.2f + 0.8f * open;
    for (int s = 0; s < bar.beats * 4; ++s) {
        int note = arp_notes[k_arp_order[s % 8]];
        voice_arp(&b->arp, beat_time(bar_beat + s * 0.25), note, p.arp * (s % 4 == 0 ? 1.0f : 0.7f), arp_bright,
                  s % 2 ? 0.8f : -0.8f);
    }
}

static void play_bass_line(piece_buses* b, const bar_plan& bar, double bar_beat, int bar_index, const part_layers& p)
{
    int root = k_chords[bar.chord].bass;
    int next = bar_index + 1 < k_bar_count ? k_chords[k_bars[bar_index + 1].chord].bass : root;
    const int* line = k_bass_lines[p.bass_line];
    for (int s = 0; s < bar.beats * 4; ++s) {
        int step = line[s % 16];
        bool last = s == bar.beats * 4 - 1;
        if (step == k_rest && !last) continue;
        // into the next chord from a semitone away
        int note = last ? next + (next > root ? -1 : 1) : root + step;
        voice_bass(&b->bass_line, beat_time(bar_beat + s * 0.25), 0.11, note, p.bass * (s % 2 ? 1.0f : 0.85f));
    }
}

static void play_groove(piece_buses* b, const bar_plan& bar, double bar_beat, const part_layers& p, int bar_index)
{
    const chord& c = k_chords[bar.chord];
    for (int k = 0; k < bar.beats; ++k) {
        double beat = bar_beat + k;
        float accent = k_beat_accent[k % 4];
        if (p.kick > 0.0f)
            drum_kick(&b->bass, beat_time(beat), k_kick_gain * p.kick * (0.8f + 0.2f * accent), c.pulse,
                      k_knock_gain * p.pulse * accent);
        else if (p.pulse > 0.0f) voice_pulse(&b->bass, beat_time(beat), c.pulse, p.pulse * accent);
        if (k % 2 == 1 && p.clap > 0.0f) drum_clap(&b->room_drums, beat_time(beat), p.clap);
        if (k % 2 == 1 && p.backbeat > 0.0f) drum_backbeat(&b->room_drums, beat_time(beat), p.backbeat);
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
    if (p.bass > 0.0f) play_bass_line(b, bar, bar_beat, bar_index, p);
    // the sub holds the root under the pads where no bass line plays
    if (p.sub > 0.0f) {
        double start = std::max(0.0, beat_time(bar_beat));
        voice_sub(&b->bass, start, beat_time(bar_beat + bar.beats) - start + 0.3, c.sub, p.sub, 0.6);
    }
}

// What closes a part on its last beat: a snare pickup, falling toms, or a run of snare cracks.
static void play_fill(piece_buses* b, int kind, double bar_beat, int beats)
{
    double last = bar_beat + beats - 1;
    if (kind == fill_pickup) {
        drum_snare(&b->room_drums, beat_time(last + 0.5), 0.3f);
        drum_snare(&b->room_drums, beat_time(last + 0.75), 0.4f);
    } else if (kind == fill_toms) {
        const int toms[4] = {50, 47, 45, 43};
        for (int i = 0; i < 4; ++i) drum_tom(&b->room_drums, beat_time(last + 0.25 * i), toms[i], 0.5f);
        drum_backbeat(&b->room_drums, beat_time(last + 0.75), 0.5f);
    } else if (kind == fill_snare_run) {
        for (int i = 0; i < 6; ++i) drum_backbeat(&b->room_drums, beat_time(last + i / 6.0), 0.25f + 0.07f * i);
    }
}

// Rolls that thicken towards the end of a bar: the build's doubles its pace every bar-half and
// swells into the climax; the lift's runs into the silence before the drop.
static void play_rolls(piece_buses* b, const bar_plan& bar, double bar_beat)
{
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

// The break's last bar rises into the return: the kick comes back under a roll of cracks that
// quickens, and the sub swells with them; the pads open bar by bar (play_pads_and_arp).
static void play_break_rise(piece_buses* b, const bar_plan& bar, double bar_beat)
{
    const chord& c = k_chords[bar.chord];
    for (int k = 0; k < bar.beats; ++k)
        drum_kick(&b->bass, beat_time(bar_beat + k), k_kick_gain * (0.5f + 0.15f * k), c.pulse, 0.0f);
    for (double x = 0.0; x < bar.beats;) {
        drum_backbeat(&b->room_drums, beat_time(bar_beat + x), 0.15f + 0.4f * (float)(x / bar.beats));
        x += x < 2.0 ? 0.25 : 0.125;
    }
    double start = beat_time(bar_beat), end = beat_time(bar_beat + bar.beats);
    voice_sub(&b->bass, start, end - start, c.sub, 0.5f, end - start);
}

void play_score(piece_buses* b)
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) {
        const bar_plan& bar = k_bars[i];
        const part_layers& p = k_parts[bar.part];
        // a crash marks every change of part once the beat has started
        if (i > 0 && bar.part != k_bars[i - 1].part && beat >= 0.0) drum_crash(&b->drums, beat_time(beat), 0.45f);
        play_pads_and_arp(b, bar, beat, p, i);
        play_groove(b, bar, beat, p, i);
        play_tunes(b, bar, beat, p, i);
        play_rolls(b, bar, beat);
        if (last_bar_of_part(i)) play_fill(b, p.fill, beat, bar.beats);
        if (bar.part == part_break && last_bar_of_part(i)) play_break_rise(b, bar, beat);
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

const chord& chord_at(double t)
{
    double beat = k_first_bar_beat;
    for (int i = 0; i < k_bar_count; ++i) {
        beat += k_bars[i].beats;
        if (t < beat_time(beat)) return k_chords[k_bars[i].chord];
    }
    return k_chords[chord_dm];  // the last chord
}
