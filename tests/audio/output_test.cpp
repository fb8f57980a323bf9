// The sound our layer hands to the device (SDL's disk driver) against ffmpeg's decoding of the file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/bass.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

static const int k_device_rate = 44100;
static const int k_buffer_frames = 2048;

// Plays the file once through the disk driver, to its last frame, and returns what the
// device was given.
static std::vector<std::int16_t> play_to_disk(const std::string& dir, const std::string& mp3)
{
    std::string device_file = dir + "/device.raw";
    QWORD end = decode_with_ffmpeg(mp3).size() * 2;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", device_file.c_str(), 1);
    if (!BASS_Init(1, k_device_rate, 0, nullptr, nullptr)) {
        ADD_FAILURE() << "BASS_Init failed on the disk driver";
        return {};
    }
    HSTREAM stream = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(BASS_ChannelPlay(stream, TRUE));

    // closing the device lets SDL write out the buffer it holds, so all is on disk after this
    EXPECT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(stream) >= end; }, 60.0))
        << "the position never reached the end of the stream";
    EXPECT_TRUE(BASS_Free());
    unsetenv("SDL_DISKAUDIOFILE");
    return read_s16_file(device_file);
}

// The first stereo frame with a clearly audible sample.
static std::size_t first_loud_frame(const std::vector<std::int16_t>& pcm)
{
    for (std::size_t i = 0; i < pcm.size(); ++i)
        if (std::abs(pcm[i]) > 200) return i / 2;
    return pcm.size() / 2;
}

static double rms_difference(const std::vector<std::int16_t>& out, std::size_t offset,
                             const std::vector<std::int16_t>& ref)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        double d = static_cast<double>(out[offset + i]) - ref[i];
        sum += d * d;
    }
    return std::sqrt(sum / ref.size());
}

static double rms(const std::vector<std::int16_t>& pcm)
{
    double sum = 0.0;
    for (std::int16_t v : pcm) sum += static_cast<double>(v) * v;
    return std::sqrt(sum / pcm.size());
}

struct device_output : ::testing::Test {
    std::string dir = make_temp_dir();
    void TearDown() override { remove_dir(dir); }
};

// At the device's own rate every sample goes out as decoded: the same samples as ffmpeg's
// from the first one, both channels in place, nothing skipped or repeated, silence after.
TEST_F(device_output, device_gets_the_decoded_samples_from_the_first_one)
{
    std::string mp3 = dir + "/chirp.mp3";
    ASSERT_TRUE(make_mp3(mp3, "0.6*sin(2*PI*(200*t+400*t*t))|0.5*sin(2*PI*(300*t+250*t*t))", k_device_rate, 2.0));
    std::vector<std::int16_t> ref = decode_with_ffmpeg(mp3);
    ASSERT_GT(ref.size(), 2u * 80000);

    std::vector<std::int16_t> out = play_to_disk(dir, mp3);
    ASSERT_GE(out.size(), ref.size());

    // the device ran silent between opening and playing: the stream starts after that
    std::size_t lag = first_loud_frame(out) - first_loud_frame(ref);
    ASSERT_LE(lag * 2 + ref.size(), out.size()) << "output shorter than the stream: frames skipped";
    std::printf("silence before the stream: %zu frames (%zu device buffers)\n", lag, lag / k_buffer_frames);
    // the paused device wrote whole buffers of silence; the stream's first frame opens a buffer
    EXPECT_EQ(lag % k_buffer_frames, 0u);
    for (std::size_t i = 0; i < lag * 2; ++i) ASSERT_EQ(out[i], 0) << "at sample " << i;

    int worst = 0;
    std::size_t worst_at = 0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        int d = std::abs(out[lag * 2 + i] - ref[i]);
        if (d > worst) {
            worst = d;
            worst_at = i;
        }
    }
    std::printf("largest difference from ffmpeg: %d LSB at sample %zu of %zu\n", worst, worst_at, ref.size());
    EXPECT_LE(worst, 2);

    for (std::size_t i = lag * 2 + ref.size(); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0) << "sound after the end, at sample " << i;
}

// A 48 kHz stream through the 44.1 kHz device keeps its pitch and its length: it matches
// ffmpeg's own resampling of the file closely once aligned.
TEST_F(device_output, other_rate_is_resampled_to_the_device)
{
    std::string mp3 = dir + "/tones48.mp3";
    ASSERT_TRUE(make_mp3(mp3,
                         "gte(t,0.25)*(0.4*sin(2*PI*440*t)+0.3*sin(2*PI*1000*t))|"
                         "gte(t,0.25)*0.5*sin(2*PI*660*t)",
                         48000, 1.5));
    std::vector<std::int16_t> ref = decode_with_ffmpeg(mp3, k_device_rate);
    ASSERT_GT(ref.size(), 2u * 60000);

    std::vector<std::int16_t> out = play_to_disk(dir, mp3);
    ASSERT_GE(out.size(), ref.size());

    // align on the onset, then settle the exact frame by the smallest difference
    std::size_t guess = first_loud_frame(out) - first_loud_frame(ref);
    std::size_t best = guess;
    double best_rms = 1e30;
    for (std::size_t lag = guess > 4 ? guess - 4 : 0; lag <= guess + 4; ++lag) {
        if (lag * 2 + ref.size() > out.size()) break;
        double d = rms_difference(out, lag * 2, ref);
        if (d < best_rms) {
            best_rms = d;
            best = lag;
        }
    }
    double relative = best_rms / rms(ref);
    std::printf("resampled output against ffmpeg: rms difference %.4f of the signal's rms\n", relative);
    EXPECT_LT(relative, 0.02);

    // the last sound is where ffmpeg's resampled stream ends, give or take a frame or two
    std::size_t last = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (out[i] != 0) last = i / 2;
    double out_frames = static_cast<double>(last + 1 - best);
    EXPECT_NEAR(out_frames, ref.size() / 2.0, 3.0);
}
