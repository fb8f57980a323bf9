// The video output: raw frames piped to ffmpeg, which encodes H.264 and muxes the soundtrack's span.
#pragma once

#include <cstdint>
#include <string>

// The encoder's threads, the same on every machine: its memory grows with each (libx264 would
// take one and a half per core), and the run's memory estimate (memory_bound.cpp) was measured
// with this many.
const int k_encoder_threads = 4;

// ffmpeg's full path when it is on PATH, "" otherwise.
std::string find_ffmpeg();

struct video_settings {
    std::string ffmpeg;  // the program
    std::string file;    // where ffmpeg writes the MP4
    std::string sound;   // a WAV file of the matching span of the soundtrack
    int width, height, fps;
};

// Writes `frames` stereo frames of 16-bit samples as a WAV file at `rate`; false on a write error.
bool write_wav(const std::string& path, const std::int16_t* samples, std::int64_t frames, int rate);

// Starts ffmpeg in a process group of its own (Ctrl-C at the terminal reaches this tool, which
// then stops it); false with the reason.
bool start_video(const video_settings& settings, std::string& error);

// Sends one RGB frame, rows from the top; false with the reason when ffmpeg stopped taking them
// or the run was interrupted while waiting for it.
bool write_video_frame(const unsigned char* rgb, std::size_t bytes, std::string& error);

// Ends the stream and waits for ffmpeg to finish the file; false with its complaint.
bool finish_video(std::string& error);

// Stops ffmpeg at once and waits for it.
void abort_video();
