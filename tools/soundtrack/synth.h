// Shared declarations of the soundtrack generator: buffers, oscillators, envelopes, filters, voices, effects.
#pragma once
#include <cstdint>
#include <vector>

#include "show/show_times.h"

constexpr int k_rate = 44100;
constexpr double k_beat = 0.5;                     // 120 BPM
constexpr double k_grid_start = k_first_slide_at;  // the first beat of the groove, with the first picture

// A stereo signal at k_rate; both channels always have the same length.
struct stereo_bus {
    std::vector<float> left;
    std::vector<float> right;
};

// Time of a beat on the show's grid; negative beats fall in the intro.
double beat_time(double beat);
long to_sample(double seconds);
double midi_hz(double note);
stereo_bus make_bus(long frames);
void mix_into(stereo_bus* dst, const stereo_bus& src, float gain);
// Equal-power pan, pan in [-1, 1]: the gains of the two sides, whose squares add up to one.
void pan_gains(float pan, float* left, float* right);

// oscillators.cpp: band-limited waveforms on a phase in [0, 1), and noise
float osc_sine(double phase);
float osc_saw(double phase, double step);
float osc_square(double phase, double step);
float osc_triangle(double phase);
uint32_t noise_bits(uint32_t* state);
float noise_white(uint32_t* state);

// envelopes.cpp
float env_adsr(double t, double held, double attack, double decay, float sustain, double release);
float env_perc(double t, double attack, double decay);

// A state-variable filter (trapezoidal), usable as low, band or high pass.
struct svf_state {
    float ic1 = 0.0f;
    float ic2 = 0.0f;
};
struct svf_out {
    float low;
    float band;
    float high;
};
svf_out svf_run(svf_state* s, float x, float cutoff_hz, float q);

// A direct-form biquad for fixed equalisers.
struct biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
};
biquad biquad_highpass(double hz, double q);
biquad biquad_lowpass(double hz, double q);
biquad biquad_peak(double hz, double q, double gain_db);
biquad biquad_notch(double hz, double q);
float biquad_run(biquad* f, float x);
void biquad_bus(stereo_bus* bus, biquad proto);

// voices.cpp: pitched instruments; each adds one note into a bus
void voice_pad(stereo_bus* bus, double start, double held, double note, float level, float brightness);
void voice_pulse(stereo_bus* bus, double start, double note, float level);
void voice_sub(stereo_bus* bus, double start, double held, double note, float level, double attack);
void voice_bass(stereo_bus* bus, double start, double held, double note, float level);
void voice_lead(stereo_bus* bus, double start, double held, double note, float level);
void voice_arp(stereo_bus* bus, double start, double note, float level, float brightness, float pan);
void voice_stab(stereo_bus* bus, double start, double note, float level);
void voice_bell(stereo_bus* bus, double start, double note, float level, float pan);
// The counter-melody: a soft bowed tone, detuned apart on the two sides.
void voice_counter(stereo_bus* bus, double start, double held, double note, float level);

// drums.cpp: percussion and sweeps
// The kick's knock rings at knock_note: the mid-bass pulse on the spectrum bins, struck with the drum.
void drum_kick(stereo_bus* bus, double start, float level, double knock_note, float knock_level);
void drum_snare(stereo_bus* bus, double start, float level);
void drum_clap(stereo_bus* bus, double start, float level);
// The backbeat's snare: all crack and rattle above 1.5 kHz, nothing near the spectrum bins.
void drum_backbeat(stereo_bus* bus, double start, float level);
void drum_hat(stereo_bus* bus, double start, float level, bool open);
void drum_crash(stereo_bus* bus, double start, float level);
void drum_tom(stereo_bus* bus, double start, double note, float level);
void fx_riser(stereo_bus* bus, double start, double end, float level);
void fx_downsweep(stereo_bus* bus, double start, double end, float level);
void fx_reverse_cymbal(stereo_bus* bus, double end, double length, float level);
void fx_impact(stereo_bus* bus, double start, float level);

// effects.cpp: spaces, delays, ducking and the master limiter
void fx_reverb(const stereo_bus& in, stereo_bus* out, float room, float damp, float wet);
void fx_pingpong(const stereo_bus& in, stereo_bus* out, double delay_s, float feedback, float wet);
void fx_duck(stereo_bus* bus, double from, double until, float depth, double recover_s);
void fx_limit(stereo_bus* bus, float ceiling, double window_s, double release_s);
void fx_clear_bins_band(stereo_bus* bus);
void fx_lowpass_sweep(stereo_bus* bus, double from, double until, float from_hz, float to_hz);
void fx_silence(stereo_bus* bus, double from, double until, double fade_s);
// Scales the difference of the sides by side_gain and leaves their sum alone: wider or narrower,
// with the mono sum exactly as it was.
void fx_widen(stereo_bus* bus, float side_gain);

// score.cpp: the whole piece rendered into one bus
stereo_bus render_piece();
extern const double k_piece_length;

// encode_mp3.cpp
bool encode_mp3(const stereo_bus& mix, const char* path, int kbps);
