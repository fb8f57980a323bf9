// The piece as data: chords, the bar-by-bar arrangement and the melodies, and the buses they play into.
#pragma once
#include "synth.h"

// One chord: the kick's knock note that lands on the spectrum bins, the sub root, the bass line's
// root, the pad voicing above the bins and the low pad voicing under them.
struct chord {
    int pulse;
    int sub;
    int bass;
    int pad[3];
    int low_pad[3];
};

enum { chord_dm, chord_bb, chord_f, chord_c, chord_gm, chord_a };

// How loud each layer plays in one part of the piece (0 = silent).
struct part_layers {
    float kick;
    float clap;
    float hats;
    float open_hats;
    float pulse;  // the kick's knock; with no kick, a soft pulse of its own keeps the beat
    float sub;
    float bass;  // the moving bass line
    float pad;
    float low_pad;
    float arp;
    float stab_on_pictures;  // stabs on beats 1 and 3, where the slideshow changes pictures
    float stab_offbeat;      // stabs on the "and" of 2 and 4
    float lead;
    float bell_lead;
    bool ghost_hats;  // closed hats on every sixteenth, not only the off-beats
};

enum {
    part_dawn,
    part_intro,
    part_slides,
    part_slides_full,
    part_fill,
    part_drop,
    part_lift,
    part_break,
    part_build,
    part_climax
};

// How hard each beat of a bar is played: the first beat leads, so the model's jumps phrase the bar.
extern const float k_beat_accent[4];

// One bar of the arrangement, in order from the start of the piece.
struct bar_plan {
    int beats;
    int chord;
    int part;
    int phrase;      // melody table, -1 for none
    int phrase_bar;  // which bar of that melody
};

struct phrase_note {
    double beat;  // from the start of the phrase
    double length;
    int note;
};

struct phrase {
    const phrase_note* notes;
    int count;
};

extern const chord k_chords[];
extern const part_layers k_parts[];
extern const bar_plan k_bars[];
extern const int k_bar_count;
extern const double k_first_bar_beat;
extern const phrase k_phrases[];

// The lift into the drop: the fill is filtered shut, then the music stops for a moment.
extern const double k_lift_silence_from;

// Where every instrument of the piece is rendered before the mix.
struct piece_buses {
    stereo_bus drums;
    stereo_bus room_drums;  // snare, clap and toms, which get a little space
    stereo_bus bass;        // dry: its reverb would smear the beat out of the spectrum bins
    stereo_bus bass_line;   // kept off the spectrum bins' band
    stereo_bus pads;
    stereo_bus arp;
    stereo_bus stabs;
    stereo_bus lead;
    stereo_bus fx;
};

void play_score(piece_buses* b);

// When the last chord lands: on the beat after the last bar.
double final_chord_time();
// When a part's first bar starts and its last bar ends, in seconds; -1 for a part the piece lacks.
double part_start(int part);
double part_end(int part);
// The picture's cues that fall between beats: the slide changes and cards off the beat grid.
std::vector<double> off_grid_cues();
