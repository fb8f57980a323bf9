// The piece in D minor at 120 BPM: chord voicings, what plays in each part, bar by bar, and the tunes.
#include "tools/soundtrack/score.h"

// The knock notes are all C4..D4 (262-294 Hz), between the show's spectrum bins 6 and 7. Pad
// voicings start at F4 (349 Hz), the low pads and the bass line stay at or under F3 (175 Hz):
// both clear of those bins, whose band is notched out of them in the mix.
// clang-format off
const chord k_chords[] = {
    /* Dm */ {62, 38, 38, {65, 69, 74}, {45, 50, 53}},
    /* Bb */ {62, 34, 34, {65, 70, 74}, {46, 50, 53}},
    /* F  */ {60, 41, 41, {65, 69, 72}, {45, 48, 53}},
    /* C  */ {60, 36, 36, {67, 72, 76}, {43, 48, 52}},
    /* Gm */ {62, 43, 31, {67, 70, 74}, {43, 46, 50}},
    /* A  */ {61, 45, 33, {69, 73, 76}, {45, 49, 52}},
};

// The groove develops every four bars after the drop: the bass line, the hats, the arpeggio's
// filter, the counter-melody and the fills change with each part; the break drops the drums.
const part_layers k_parts[] = {
    //  kick  clap   hats   open   pulse  sub    bass   pad    lowpad arp    stabP  stabO  lead   bell   ghosts back   counter tune bass arpopen fill
    {0.00f, 0.00f, 0.00f, 0.00f, 0.00f, 0.00f, 0.00f, 0.28f, 0.24f, 0.00f, 0.00f, 0.00f, 0.00f, 0.00f, false, 0.00f, 0.00f, -1, 0, 0.0f, fill_none},       // dawn
    {0.00f, 0.00f, 0.00f, 0.00f, 0.00f, 0.18f, 0.00f, 0.28f, 0.26f, 0.18f, 0.00f, 0.00f, 0.00f, 0.00f, false, 0.00f, 0.00f, -1, 0, 0.0f, fill_none},       // intro
    {0.85f, 0.00f, 0.55f, 0.00f, 0.20f, 0.00f, 0.22f, 0.45f, 0.30f, 0.35f, 0.30f, 0.00f, 0.00f, 0.00f, false, 0.00f, 0.00f, -1, 0, 0.5f, fill_none},       // slides
    {0.90f, 0.45f, 0.65f, 0.35f, 0.26f, 0.00f, 0.28f, 0.45f, 0.30f, 0.35f, 0.34f, 0.00f, 0.00f, 0.00f, true,  0.00f, 0.00f, -1, 0, 0.5f, fill_pickup},     // slides, full
    {0.90f, 0.00f, 0.00f, 0.00f, 0.26f, 0.00f, 0.00f, 0.40f, 0.25f, 0.00f, 0.34f, 0.00f, 0.00f, 0.00f, false, 0.00f, 0.00f, -1, 0, 0.0f, fill_none},       // fill
    {1.00f, 0.00f, 0.45f, 0.00f, 0.30f, 0.00f, 0.30f, 0.40f, 0.30f, 0.00f, 0.00f, 0.00f, 0.45f, 0.00f, false, 0.70f, 0.00f, -1, 1, 0.0f, fill_pickup},     // drop
    {1.00f, 0.35f, 0.70f, 0.00f, 0.30f, 0.00f, 0.32f, 0.40f, 0.30f, 0.28f, 0.00f, 0.22f, 0.45f, 0.00f, true,  0.70f, 0.30f,  4, 2, 0.7f, fill_toms},       // drop, full
    {1.00f, 0.00f, 0.00f, 0.50f, 0.30f, 0.00f, 0.32f, 0.50f, 0.30f, 0.00f, 0.00f, 0.28f, 0.45f, 0.00f, false, 0.75f, 0.00f, -1, 3, 0.0f, fill_snare_run},  // lift
    {1.00f, 0.45f, 0.75f, 0.45f, 0.30f, 0.00f, 0.34f, 0.45f, 0.30f, 0.32f, 0.00f, 0.26f, 0.45f, 0.00f, true,  0.75f, 0.32f,  5, 4, 1.0f, fill_toms},       // lift, full
    {0.00f, 0.00f, 0.00f, 0.00f, 0.30f, 0.16f, 0.00f, 0.22f, 0.20f, 0.08f, 0.00f, 0.00f, 0.00f, 0.24f, false, 0.00f, 0.00f, -1, 0, 0.0f, fill_none},       // break
    {0.95f, 0.45f, 0.55f, 0.00f, 0.28f, 0.00f, 0.30f, 0.50f, 0.30f, 0.35f, 0.00f, 0.20f, 0.00f, 0.30f, false, 0.00f, 0.00f, -1, 2, 0.6f, fill_none},       // build
    {1.00f, 0.55f, 0.80f, 0.50f, 0.30f, 0.00f, 0.34f, 0.45f, 0.32f, 0.32f, 0.00f, 0.28f, 0.62f, 0.18f, true,  0.65f, 0.30f,  6, 0, 0.8f, fill_none},       // climax
};

const float k_beat_accent[4] = {1.0f, 0.8f, 0.74f, 0.8f};

// Beat -24 is at -0.2 s, so the intro's bars meet the groove's first beat at 11.8 s.
const double k_first_bar_beat = -24.0;

// The 28.8 s picture's stab rings briefly, then nothing until the drop.
const double k_lift_silence_from = 28.95;

const bar_plan k_bars[] = {
    // intro under the title strips, 0 to 11.8 s
    {4, chord_dm, part_dawn, -1, 0}, {4, chord_dm, part_intro, -1, 0}, {4, chord_bb, part_intro, -1, 0},
    {4, chord_f, part_intro, -1, 0},  {4, chord_c, part_intro, -1, 0},  {4, chord_a, part_intro, -1, 0},
    // the slideshow, 11.8 to 27.8 s: a picture on every second beat
    {4, chord_dm, part_slides, -1, 0}, {4, chord_bb, part_slides, -1, 0}, {4, chord_f, part_slides, -1, 0},
    {4, chord_c, part_slides, -1, 0}, {4, chord_dm, part_slides_full, -1, 0},
    {4, chord_bb, part_slides_full, -1, 0}, {4, chord_gm, part_slides_full, -1, 0},
    {4, chord_a, part_slides_full, -1, 0},
    // three beats of filtered fill, then silence into the drop at 29.3 s
    {3, chord_a, part_fill, -1, 0},
    // the model scene: drop with the first tune, 29.3 s, then again with everything in
    {4, chord_dm, part_drop, 0, 0}, {4, chord_bb, part_drop, 0, 1}, {4, chord_f, part_drop, 0, 2},
    {4, chord_c, part_drop, 0, 3},  {4, chord_dm, part_drop_full, 0, 4}, {4, chord_bb, part_drop_full, 0, 5},
    {4, chord_f, part_drop_full, 0, 6},  {4, chord_c, part_drop_full, 0, 7},
    // the second tune over a new progression, 45.3 s
    {4, chord_gm, part_lift, 1, 0}, {4, chord_dm, part_lift, 1, 1}, {4, chord_bb, part_lift, 1, 2},
    {4, chord_c, part_lift, 1, 3},  {4, chord_gm, part_lift_full, 1, 4}, {4, chord_dm, part_lift_full, 1, 5},
    {4, chord_bb, part_lift_full, 1, 6}, {4, chord_a, part_lift_full, 1, 7},
    // the break, 61.3 s: no drums, the first tune on bells over a soft pulse
    {4, chord_dm, part_break, 0, 0}, {4, chord_bb, part_break, 0, 1}, {4, chord_f, part_break, 0, 2},
    {4, chord_c, part_break, 0, 3},
    // one bar of build, 69.3 s, then the climax, 71.3 s, resolving on the last chord at 79.3 s
    {4, chord_a, part_build, 2, 1},
    {4, chord_bb, part_climax, 3, 0}, {4, chord_c, part_climax, 3, 1}, {4, chord_gm, part_climax, 3, 2},
    {4, chord_a, part_climax, 3, 3},
};
const int k_bar_count = sizeof(k_bars) / sizeof(k_bars[0]);

// The first tune, over Dm Bb F C twice.
const phrase_note k_tune_a[] = {
    {0, 1, 74},    {1, 0.5, 77},   {1.5, 0.5, 76}, {2, 1, 74},     {3, 1, 69},
    {4, 0.5, 70},  {4.5, 0.5, 74}, {5, 1.5, 77},   {6.5, 0.5, 79}, {7, 1, 77},
    {8, 1.5, 81},  {9.5, 0.5, 79}, {10, 1, 77},    {11, 0.5, 76},  {11.5, 0.5, 72},
    {12, 1.5, 76}, {13.5, 0.5, 74}, {14, 1.5, 72}, {15.5, 0.5, 76},
    {16, 1, 74},   {17, 0.5, 77},  {17.5, 0.5, 76}, {18, 1, 74},   {19, 1, 69},
    {20, 0.5, 70}, {20.5, 0.5, 74}, {21, 1.5, 77}, {22.5, 0.5, 79}, {23, 1, 77},
    {24, 1, 81},   {25, 1, 84},    {26, 0.5, 81},  {26.5, 0.5, 79}, {27, 1, 77},
    {28, 1, 76},   {29, 1, 79},    {30, 2, 76},
};

// The second tune, higher and broader, over Gm Dm Bb C Gm Dm Bb A.
const phrase_note k_tune_b[] = {
    {0, 2, 86},     {2, 1, 82},     {3, 1, 81},
    {4, 1.5, 77},   {5.5, 0.5, 81}, {6, 2, 86},
    {8, 1, 86},     {9, 1, 84},     {10, 1, 82},    {11, 0.5, 81}, {11.5, 0.5, 79},
    {12, 2, 79},    {14, 1, 76},    {15, 1, 72},
    {16, 1.5, 86},  {17.5, 0.5, 82}, {18, 1, 79},   {19, 1, 82},
    {20, 1.5, 81},  {21.5, 0.5, 77}, {22, 1, 74},   {23, 1, 77},
    {24, 1, 82},    {25, 1, 81},    {26, 1, 79},    {27, 1, 77},
    {28, 1, 76},    {29, 1, 81},    {30, 2, 85},
};

// Bells in the build: rising over Gm and A.
const phrase_note k_tune_build[] = {
    {0, 0.5, 74}, {0.5, 0.5, 79}, {1, 0.5, 82}, {1.5, 0.5, 86}, {2, 0.5, 79}, {2.5, 0.5, 82}, {3, 0.5, 86},
    {3.5, 0.5, 91}, {4, 0.5, 76}, {4.5, 0.5, 81}, {5, 0.5, 85}, {5.5, 0.5, 88}, {6, 0.5, 81}, {6.5, 0.5, 85},
    {7, 0.5, 88}, {7.5, 0.5, 93},
};

// The climax: the tune's peak over Bb C Gm A, leaning on the leading note into the last chord.
const phrase_note k_tune_end[] = {
    {0, 1, 86},  {1, 0.5, 84},   {1.5, 0.5, 82}, {2, 1, 81},    {3, 1, 82},
    {4, 1.5, 84}, {5.5, 0.5, 82}, {6, 2, 79},
    {8, 1, 82},  {9, 1, 86},     {10, 1.5, 91},  {11.5, 0.5, 89},
    {12, 1, 88}, {13, 1, 85},    {14, 2, 81},
};

// Counter-melodies: long notes between the lead and the pads, kept above the spectrum bins (F4 up).
// Under the first tune's second half, over Dm Bb F C.
const phrase_note k_counter_a[] = {
    {0, 2, 65},  {2, 2, 69},  {4, 3, 70},  {7, 1, 74},
    {8, 2, 72},  {10, 2, 69}, {12, 3, 67}, {15, 1, 65},
};

// Under the second tune's second half, over Gm Dm Bb A.
const phrase_note k_counter_b[] = {
    {0, 2, 74},  {2, 2, 70},  {4, 2, 69},  {6, 2, 65},
    {8, 3, 70},  {11, 1, 72}, {12, 4, 73},
};

// Under the climax, over Bb C Gm A.
const phrase_note k_counter_end[] = {
    {0, 2, 65},  {2, 2, 70},  {4, 2, 67},  {6, 2, 72},
    {8, 2, 70},  {10, 2, 67}, {12, 2, 69}, {14, 2, 73},
};

const phrase k_phrases[] = {
    {k_tune_a, (int)(sizeof(k_tune_a) / sizeof(k_tune_a[0]))},
    {k_tune_b, (int)(sizeof(k_tune_b) / sizeof(k_tune_b[0]))},
    {k_tune_build, (int)(sizeof(k_tune_build) / sizeof(k_tune_build[0]))},
    {k_tune_end, (int)(sizeof(k_tune_end) / sizeof(k_tune_end[0]))},
    {k_counter_a, (int)(sizeof(k_counter_a) / sizeof(k_counter_a[0]))},
    {k_counter_b, (int)(sizeof(k_counter_b) / sizeof(k_counter_b[0]))},
    {k_counter_end, (int)(sizeof(k_counter_end) / sizeof(k_counter_end[0]))},
};

// 0: octaves bouncing; 1: sparse, on the off-beats; 2: rolling sixteenths; 3: syncopated, fifths
// and sevenths; 4: climbing through the chord. Intervals stay within the octave, under the bins.
const int k_bass_lines[][16] = {
    {k_rest, 0, 12, 0, k_rest, 0, 12, 7, k_rest, 0, 12, 0, k_rest, 12, 10, k_rest},
    {k_rest, k_rest, 0, k_rest, k_rest, k_rest, 0, k_rest, k_rest, k_rest, 0, k_rest, k_rest, k_rest, 12, k_rest},
    {k_rest, 0, 0, 0, k_rest, 0, 0, 12, k_rest, 0, 0, 0, k_rest, 7, 10, k_rest},
    {k_rest, k_rest, 0, k_rest, k_rest, 12, k_rest, 7, k_rest, k_rest, 10, k_rest, 12, k_rest, 7, k_rest},
    {k_rest, 0, 3, k_rest, k_rest, 5, 7, k_rest, k_rest, 7, 10, k_rest, k_rest, 12, 10, k_rest},
};
// clang-format on
