// Our audio layer's MP3 decoder: a file as 16-bit stereo, decoded a frame at a time as it is
// read, from any position, with its exact length known when it is opened.
//
// It knows nothing of devices or threads: whatever plays the samples pulls them with read_mp3.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/mp3_frames.h"

struct mpg123_handle_struct;

// The largest frame: 1152 samples (MPEG-1 layer III).
const int k_mp3_max_frame_samples = 1152;

// One open file. The stream is its layer III frames from the first run of them (ID3v2 tags and
// any junk before it are passed over), each lasting its `samples`, less the encoder's delay at
// the start and its padding at the end. A frame of another kind in it is a damaged header: it
// keeps its place as a frame of silence, so the stream keeps its rate and its length.
struct mp3_decoder {
    std::FILE* file = nullptr;
    long start = 0;  // the stream's first frame in the file: the decoder's byte 0
    mpg123_handle_struct* mpg123 = nullptr;
    mp3_frame kind;           // the stream's: its first frame's
    std::int64_t length = 0;  // stereo frames, exact
    std::int64_t skip = 0;    // samples cut from the start: the encoder's delay and the decoder's

    std::int64_t position = 0;   // the stream frame the next read returns
    std::int64_t next_slot = 0;  // the file's frame the next decode reads, counted from the stream's first
    std::int16_t slot[k_mp3_max_frame_samples * 2] = {};  // the last frame decoded
    int slot_read = 0;                                    // how much of it has been read
};

// Opens an MP3 file; false when it cannot be read or holds no MP3 stream near its start.
bool open_mp3(const char* path, mp3_decoder* d);
void close_mp3(mp3_decoder* d);

// Copies the next `frames` stereo frames into `out` and returns how many there were: fewer only
// at the end of the stream.
int read_mp3(mp3_decoder* d, std::int16_t* out, int frames);

// The next read starts at `frame` (0 to the length), with exactly the samples a read from the
// start would give there.
void seek_mp3(mp3_decoder* d, std::int64_t frame);

// A whole file decoded at once, for tools and tests: what a stream of it plays, sample for sample.
bool decode_mp3_file(const char* path, std::vector<std::int16_t>& pcm, int& rate);
