// The audio layer on a sound output cranked by hand, linked in place of SDL's: buffer by buffer,
// what the mixer hands out and where the listener is said to be, with no audio thread's timing.
#include <gtest/gtest.h>

#include <vector>

#include "platform/bass.h"
#include "platform/mp3_decoder.h"
#include "platform/pcm_spectrum.h"
#include "platform/sdl_output.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

static audio_output_fill g_hand_fill = nullptr;
static bool g_hand_paused = true;
static int g_hand_locks = 0;

bool sdl_output_open(int, audio_output_fill fill)
{
    g_hand_fill = fill;
    g_hand_paused = true;
    return true;
}
void sdl_output_close()
{
    g_hand_fill = nullptr;
}
void sdl_output_lock()
{
    ++g_hand_locks;
}
void sdl_output_unlock()
{
    --g_hand_locks;
}
void sdl_output_pause(bool paused)
{
    g_hand_paused = paused;
}

static const int k_buffer = 2048;

static std::vector<std::int16_t> crank()
{
    std::vector<std::int16_t> out(k_buffer * 2);
    g_hand_fill(out.data(), k_buffer);
    return out;
}

static QWORD frames_heard(HSTREAM h)
{
    return BASS_ChannelGetPosition(h) / 4;
}

struct hand_output : ::testing::Test {
    std::string dir = make_temp_dir();
    std::string mp3 = dir + "/chirp.mp3";
    std::vector<std::int16_t> ref;
    HSTREAM h = 0;
    void SetUp() override
    {
        ASSERT_TRUE(make_mp3(mp3, "0.6*sin(2*PI*(200*t+400*t*t))|0.5*sin(2*PI*330*t)", 44100, 1.0));
        ref = decode_with_ffmpeg(mp3);
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
        ASSERT_NE(g_hand_fill, nullptr) << "BASS_Init did not open the sound output";
        h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
        ASSERT_NE(h, 0u);
    }
    void TearDown() override
    {
        EXPECT_TRUE(BASS_Free());
        EXPECT_EQ(g_hand_fill, nullptr) << "BASS_Free left the output open";
        remove_dir(dir);
    }
};

// The output stays paused until something plays; every change is made under the output's lock.
// Each buffer holds the next frames of the file, and the listener never passes the last frame
// handed out: an output that stops asking stops the clock there.
TEST_F(hand_output, buffers_follow_the_file_and_the_clock_stops_where_they_stop)
{
    EXPECT_TRUE(g_hand_paused);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    EXPECT_FALSE(g_hand_paused);
    EXPECT_EQ(g_hand_locks, 0);
    sleep_seconds(0.05);
    EXPECT_EQ(frames_heard(h), 0u) << "moved before the output took anything";

    for (int b = 0; b < 3; ++b) {
        std::vector<std::int16_t> out = crank();
        for (int i = 0; i < k_buffer * 2; ++i) {
            ASSERT_NEAR(out[i], ref[b * k_buffer * 2 + i], 1) << "buffer " << b << " sample " << i;
        }
    }
    // three buffers out, nothing asked since: after more than a buffer's time the listener
    // stands exactly at the end of the last one
    sleep_seconds(0.2);
    EXPECT_EQ(frames_heard(h), 3u * k_buffer);
    sleep_seconds(0.1);
    EXPECT_EQ(frames_heard(h), 3u * k_buffer);
}

// A seek stands the listener at the new frame at once, the next buffer starts there, and the
// listener reaches it only a buffer's time after that buffer was taken.
TEST_F(hand_output, a_seek_is_heard_from_the_next_buffer)
{
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    crank();
    crank();
    const QWORD seek = 10000;
    ASSERT_TRUE(BASS_ChannelSetPosition(h, seek * 4));
    EXPECT_EQ(g_hand_locks, 0);
    EXPECT_EQ(frames_heard(h), seek);

    double taken = steady_seconds();
    std::vector<std::int16_t> out = crank();
    for (int i = 0; i < k_buffer * 2; ++i) ASSERT_NEAR(out[i], ref[seek * 2 + i], 1) << "sample " << i;
    if (steady_seconds() - taken < 0.02) {
        EXPECT_EQ(frames_heard(h), seek) << "the buffer after a seek is heard one buffer later";
    }
    sleep_seconds(0.2);
    EXPECT_EQ(frames_heard(h), seek + k_buffer);
}

// While it plays, the spectrum reads the 1024 frames before the one heard out of what the mixer
// decoded: the frames a straight decoding has there, all through a file longer than the samples
// a stream holds, and at its end.
TEST_F(hand_output, the_spectrum_while_playing_reads_the_frames_before_the_one_heard)
{
    const std::string long_mp3 = dir + "/long.mp3";
    ASSERT_TRUE(make_mp3(long_mp3, "0.6*sin(2*PI*(200*t+400*t*t))|0.5*sin(2*PI*(330+100*t)*t)", 44100, 4.0));
    std::vector<std::int16_t> whole;
    int rate = 0;
    ASSERT_TRUE(decode_mp3_file(long_mp3.c_str(), whole, rate));
    const QWORD length = whole.size() / 2;
    HSTREAM playing = BASS_StreamCreateFile(FALSE, long_mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(playing, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(playing, TRUE));

    float fetched[512], want[512];
    const int buffers = static_cast<int>(length / k_buffer) + 8;
    for (int b = 1; b <= buffers; ++b) {
        crank();
        if (b % 8 != 0) continue;
        // once a buffer's time has passed the listener stands at the end of what was handed out
        sleep_seconds(0.1);
        const QWORD heard = frames_heard(playing);
        ASSERT_EQ(heard, std::min<QWORD>(static_cast<QWORD>(b) * k_buffer, length));
        ASSERT_EQ(BASS_ChannelGetData(playing, fetched, BASS_DATA_FFT1024), 2048u);
        ASSERT_TRUE(
            pcm_spectrum(whole.data(), static_cast<std::int64_t>(length), static_cast<std::int64_t>(heard), want));
        for (int k = 0; k < 512; ++k) ASSERT_EQ(fetched[k], want[k]) << "at frame " << heard << ", bin " << k;
    }
    EXPECT_EQ(frames_heard(playing), length);
}
