// Damaged and foreign soundtrack files: a damaged frame header costs at most a few frames of
// sound and never the rest of the stream, its rate or its length; a file that is not MPEG
// audio is refused instead of played as noise.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <deque>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/bass.h"
#include "platform/mp3_decoder.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/shipped_data.h"
#include "tests/support/temp_dir.h"

typedef std::vector<unsigned char> bytes;

static bytes read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

static void write_bytes(const std::string& path, const bytes& data)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

// The offset of the header of MPEG-1 layer III frame `n`, walking the frames from the first
// one after the ID3v2 tag (the files here are CBR 44.1 kHz, as ffmpeg writes them).
static std::size_t frame_offset(const bytes& mp3, int n)
{
    static const int kbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    std::size_t at = 0;
    if (mp3.size() > 10 && mp3[0] == 'I' && mp3[1] == 'D' && mp3[2] == '3')
        at = 10 + ((mp3[6] << 21) | (mp3[7] << 14) | (mp3[8] << 7) | mp3[9]);
    for (int i = 0; i < n && at + 4 <= mp3.size(); ++i) {
        EXPECT_EQ(mp3[at], 0xff) << "lost the frames at frame " << i;
        int bitrate = kbps[mp3[at + 2] >> 4] * 1000;
        at += 144 * bitrate / 44100 + ((mp3[at + 2] >> 1) & 1);
    }
    return at;
}

struct decoded {
    std::vector<std::int16_t> pcm;  // interleaved stereo
    int rate = 0;
    std::int64_t frames() const { return static_cast<std::int64_t>(pcm.size() / 2); }
};

class damaged_file : public ::testing::Test {
  protected:
    void SetUp() override
    {
        dir = make_temp_dir();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
    void TearDown() override
    {
        BASS_Free();
        remove_dir(dir);
    }

    // The samples a stream of the file plays, or null when the layer refuses it.
    const decoded* open(const std::string& path)
    {
        if (!BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN)) return nullptr;
        opened.emplace_back();
        if (decode_mp3_file(path.c_str(), opened.back().pcm, opened.back().rate)) return &opened.back();
        opened.pop_back();
        return nullptr;
    }

    std::string dir;
    std::deque<decoded> opened;  // stays put as it grows: the pointers open gave stay valid
};

// 4 s of a chord, so every frame holds sound; the damage goes into frame 80 (about 1.8 s).
TEST_F(damaged_file, one_bad_header_costs_a_few_frames_and_keeps_rate_and_length)
{
    const std::string good = dir + "/good.mp3";
    ASSERT_TRUE(make_mp3(good, "0.3*sin(2*PI*440*t)+0.2*sin(2*PI*554*t)", 44100, 4.0));
    const bytes original = read_bytes(good);
    const int damaged_frame = 80;
    const std::size_t header = frame_offset(original, damaged_frame);

    const decoded* reference = open(good);
    ASSERT_NE(reference, nullptr);
    ASSERT_EQ(reference->rate, 44100);

    // each a single changed byte that mpg123 reads as another kind of frame
    struct damage {
        const char* what;
        std::size_t byte;
        unsigned char mask;
    };
    const damage kinds[] = {
        {"sample rate", 2, 0x04}, {"MPEG version", 1, 0x08}, {"layer", 1, 0x04},
        {"sync byte", 0, 0xff},   {"mono flag", 3, 0xc0},
    };
    for (const damage& d : kinds) {
        SCOPED_TRACE(d.what);
        bytes copy = original;
        copy[header + d.byte] ^= d.mask;
        const std::string path = dir + "/damaged.mp3";
        write_bytes(path, copy);

        const decoded* s = open(path);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->rate, reference->rate);
        ASSERT_EQ(s->frames(), reference->frames()) << "the stream's length changed";

        // outside a few frames around the damage every sample is what the good file gives
        const std::int64_t from = (damaged_frame - 2) * 1152;
        const std::int64_t to = (damaged_frame + 3) * 1152;
        std::int64_t differing = 0;
        for (std::int64_t i = 0; i < s->frames() * 2; ++i)
            if ((i / 2 < from || i / 2 >= to) && s->pcm[i] != reference->pcm[i]) ++differing;
        EXPECT_EQ(differing, 0) << "samples away from the damaged frame changed";
        BASS_Free();
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
        reference = open(good);
        ASSERT_NE(reference, nullptr);
    }
}

// The first frames of sound (frame 0 is the encoder's Info frame) must not give the whole
// stream their kind. A damaged frame 1 also costs the Info frame (the stream then starts at the
// first run of frames that agree, after it) and with it the trim of the encoder's delay: the
// length may then differ by less than a frame.
TEST_F(damaged_file, a_bad_first_frame_does_not_set_the_streams_rate)
{
    const std::string good = dir + "/good.mp3";
    ASSERT_TRUE(make_mp3(good, "0.3*sin(2*PI*440*t)", 44100, 2.0));
    bytes data = read_bytes(good);
    const decoded* reference = open(good);
    ASSERT_NE(reference, nullptr);
    for (int frame = 1; frame <= 2; ++frame) {
        SCOPED_TRACE(frame);
        bytes copy = data;
        copy[frame_offset(copy, frame) + 2] ^= 0x04;  // 44.1 kHz read as 48 kHz
        write_bytes(dir + "/damaged.mp3", copy);
        const decoded* s = open(dir + "/damaged.mp3");
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->rate, 44100);
        EXPECT_LT(std::abs(s->frames() - reference->frames()), 1152);
    }
}

TEST_F(damaged_file, cut_short_plays_what_is_there)
{
    const std::string good = dir + "/good.mp3";
    ASSERT_TRUE(make_mp3(good, "0.3*sin(2*PI*440*t)", 44100, 4.0));
    bytes data = read_bytes(good);
    data.resize(data.size() / 2 + 77);  // in the middle of a frame
    write_bytes(dir + "/cut.mp3", data);
    const decoded* s = open(dir + "/cut.mp3");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->rate, 44100);
    double seconds = static_cast<double>(s->frames()) / s->rate;
    EXPECT_GT(seconds, 1.8);
    EXPECT_LT(seconds, 2.2);
}

TEST_F(damaged_file, files_that_are_not_mpeg_audio_are_refused)
{
    // a WAV of a soundtrack, as a converter writes it
    const std::string mp3 = dir + "/song.mp3";
    ASSERT_TRUE(make_mp3(mp3, "0.3*sin(2*PI*440*t)", 44100, 3.0));
    const std::string wav = dir + "/wav.mp3";
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y -i \"" + mp3 + "\" -f wav \"" + wav + "\"").c_str()), 0);
    EXPECT_EQ(open(wav), nullptr) << "a WAV under an MP3 name";

    write_bytes(dir + "/empty.mp3", bytes());
    EXPECT_EQ(open(dir + "/empty.mp3"), nullptr) << "an empty file";

    // an ID3v2 tag whose declared size runs past the end of the file
    write_bytes(dir + "/tag.mp3", bytes{'I', 'D', '3', 4, 0, 0, 0x7f, 0x7f, 0x7f, 0x7f, 0xff, 0xfb});
    EXPECT_EQ(open(dir + "/tag.mp3"), nullptr) << "a tag and nothing after it";

    // MPEG audio of another layer, which mpg123 would play
    const std::string mp2 = dir + "/mp2.mp3";
    ASSERT_EQ(
        std::system(("ffmpeg -nostdin -v error -y -i \"" + mp3 + "\" -c:a mp2 -f mp2 \"" + mp2 + "\"").c_str()), 0);
    EXPECT_EQ(open(mp2), nullptr) << "an MP2 under an MP3 name";

    std::mt19937 random_bytes(17);
    bytes noise(256 * 1024);
    for (unsigned char& b : noise) b = static_cast<unsigned char>(random_bytes());
    write_bytes(dir + "/noise.mp3", noise);
    EXPECT_EQ(open(dir + "/noise.mp3"), nullptr) << "random bytes";

    // the stream is looked for near the start only
    bytes far = read_bytes(mp3);
    far.insert(far.begin(), 70 * 1024, 0);
    write_bytes(dir + "/far.mp3", far);
    EXPECT_EQ(open(dir + "/far.mp3"), nullptr) << "70 KB of zeros before the first frame";

    // while the MP3 itself, ID3v2 tag and all, is read
    EXPECT_NE(open(mp3), nullptr);
}

// A little junk before the first frame, as players pass over it: the stream starts at the first
// run of frames that agree and plays what the clean file plays, sample for sample.
TEST_F(damaged_file, junk_before_the_first_frame_is_passed_over)
{
    const std::string tagged = dir + "/tagged.mp3";
    ASSERT_TRUE(make_mp3(tagged, "0.3*sin(2*PI*440*t)+0.2*sin(2*PI*554*t)", 44100, 2.0));
    const bytes with_tag = read_bytes(tagged);
    const std::size_t tag = frame_offset(with_tag, 0);
    const bytes clean(with_tag.begin() + static_cast<long>(tag), with_tag.end());
    write_bytes(dir + "/clean.mp3", clean);
    const decoded* reference = open(dir + "/clean.mp3");
    ASSERT_NE(reference, nullptr);

    std::mt19937 random_bytes(5);
    bytes noise(1024);
    for (unsigned char& b : noise) b = static_cast<unsigned char>(random_bytes());
    struct junk_case {
        const char* what;
        bytes before;  // what comes before the first frame
    };
    const junk_case cases[] = {
        {"1 KB of zeros", bytes(1024, 0)},
        {"1 KB of random bytes", noise},
        {"a few bytes", bytes{'j', 'u', 'n', 'k'}},
        {"an ID3v2 tag, then 1 KB of random bytes",
         [&] {
             bytes b(with_tag.begin(), with_tag.begin() + static_cast<long>(tag));
             b.insert(b.end(), noise.begin(), noise.end());
             return b;
         }()},
    };
    for (const junk_case& c : cases) {
        SCOPED_TRACE(c.what);
        bytes file = c.before;
        file.insert(file.end(), clean.begin(), clean.end());
        write_bytes(dir + "/junk.mp3", file);
        const decoded* s = open(dir + "/junk.mp3");
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->rate, reference->rate);
        EXPECT_TRUE(s->pcm == reference->pcm) << "the samples differ from the clean file's";
        BASS_Free();
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
}

// Without an Info tag the length comes from a walk over the frames: the stream lasts exactly
// what ffmpeg decodes of it, no frame more (a seek there is refused).
TEST_F(damaged_file, a_file_without_an_info_tag_keeps_its_exact_length)
{
    const std::string mp3 = dir + "/untagged.mp3";
    const char* command = "ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc=0.3*sin(2*PI*440*t):s=22050:d=2\" "
                          "-c:a libmp3lame -q:a 7 -write_xing 0 \"%s\"";
    char line[512];
    std::snprintf(line, sizeof line, command, mp3.c_str());
    ASSERT_EQ(std::system(line), 0);
    const QWORD frames = decode_with_ffmpeg(mp3).size() / 2;
    ASSERT_GT(frames, 40000u);
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(BASS_ChannelSetPosition(h, frames * 4));
    EXPECT_FALSE(BASS_ChannelSetPosition(h, (frames + 1) * 4));
}

// Nothing the decoder says reaches stderr, for any of the fuzz seeds (pieces of the soundtrack,
// and inputs the fuzzer found: layer II frames behind a layer III start made mpg123's layer II
// decoder complain whether asked to be quiet or not).
TEST_F(damaged_file, decoding_writes_nothing_to_stderr)
{
    const std::string captured = dir + "/stderr.txt";
    int saved = dup(2);
    std::FILE* sink = std::fopen(captured.c_str(), "w");
    ASSERT_NE(sink, nullptr);
    std::fflush(stderr);
    dup2(fileno(sink), 2);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(repository_root() + "/tests/fuzz/corpus/mp3")) {
        BASS_StreamCreateFile(FALSE, entry.path().c_str(), 0, 0, BASS_STREAM_PRESCAN);
        BASS_Free();
        BASS_Init(0, 44100, 0, nullptr, nullptr);
        ++files;
    }
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(sink);
    EXPECT_GE(files, 5);
    bytes said = read_bytes(captured);
    EXPECT_TRUE(said.empty()) << std::string(said.begin(), said.end());
}
