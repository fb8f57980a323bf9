// Figures of the arrangement after the drop: phrases that develop, the backbeat, width, the break's
// build and hits on the picture's off-grid cues, each printed as one or more report lines.
#pragma once

#include "audio/decoded_music.h"

// Power as decibels; -999 for none.
double db(double power);

// The median correlation of each bar's log spectrogram with the bar four bars later.
void report_phrases(const decoded_music& d);
// 1.5-6 kHz energy just after beats 2 and 4 against beats 1 and 3, outside the break.
void report_backbeat(const decoded_music& d);
// Left/right correlation and the mono sum's level against the stereo pair.
void report_stereo(const decoded_music& d);
// The break's last two seconds against its first two.
void report_build(const decoded_music& d);
// The strongest onset at each off-grid picture cue against the median beat after the drop.
void report_cue_hits(const decoded_music& d);
