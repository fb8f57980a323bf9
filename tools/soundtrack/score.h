// The piece as data: chords, the bar-by-bar arrangement and the melodies, and the buses they play into.
#pragma once
#include "tools/soundtrack/synth.h"

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
    bool ghost_hats;   // closed hats on every sixteenth, not only the off-beats
    float backbeat;    // the snare on beats 2 and 4, all crack and no body
    float counter;     // the counter-melody under the lead
    int counter_tune;  // its tune in k_phrases, bar by bar through the part; -1 for none
    int bass_line;     // the bass line's pattern in k_bass_lines
    float arp_open;    // the arpeggio's filter: 0 closed, 1 open
    int fill;          // what closes the part's last bar (enum fill_kind)
};

enum fill_kind { fill_none, fill_pickup, fill_toms, fill_snare_run };

enum {
    part_dawn,
    part_intro,
    part_slides,
    part_slides_full,
    part_fill,
    part_drop,
    part_drop_full,
    part_lift,
    part_lift_full,
    part_break,
    part_build,
    part_climax
};

// How loud the kick and its knock play for a part's kick and pulse levels.
constexpr float k_knock_gain = 2.1f;
constexpr float k_kick_gain = 0.42f;

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

// The bass line's patterns, one value a sixteenth over a bar: semitones over the chord's bass
// root, or k_rest. The first sixteenth of each beat is left to the kick; the bar's last sixteenth
// always walks to the next chord.
constexpr int k_rest = -99;
extern const int k_bass_lines[][16];

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
    stereo_bus counter;
    stereo_bus hits;  // the stabs on the picture's off-grid cues
    stereo_bus fx;
};

void play_score(piece_buses* b);
// Events tied to the picture rather than the bar grid, and the last chord (score_cues.cpp).
void play_accents(piece_buses* b);
void play_final_chord(piece_buses* b, double t);
// The chord that sounds at t seconds.
const chord& chord_at(double t);

// When the last chord lands: on the beat after the last bar.
double final_chord_time();
// When a part's first bar starts and its last bar ends, in seconds; -1 for a part the piece lacks.
double part_start(int part);
double part_end(int part);
// The picture's cues that fall between beats: the slide changes and cards off the beat grid.
std::vector<double> off_grid_cues();
