// The playback position as the show reads it: smooth, never backwards, stopping at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/bass.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

struct reading {
    double wall;  // steady seconds since play
    double show;  // position in seconds
};

static double position_seconds(HSTREAM h)
{
    return BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h));
}

// Reads the position every millisecond or so for `seconds`.
static std::vector<reading> read_for(HSTREAM h, double start, double seconds)
{
    std::vector<reading> readings;
    while (steady_seconds() - start < seconds) {
        double show = position_seconds(h);
        readings.push_back({steady_seconds() - start, show});
        sleep_seconds(0.001);
    }
    return readings;
}

struct playback_clock : ::testing::Test {
    std::string dir = make_temp_dir();
    std::string mp3 = dir + "/tone.mp3";
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(make_mp3(mp3, "0.5*sin(2*PI*440*t)", 44100, 1.5));
    }
    void TearDown() override
    {
        BASS_Free();
        remove_dir(dir);
    }
};

// The show's own start sequence, then reads over the whole file and past its end.
TEST_F(playback_clock, grows_smoothly_from_zero_and_stops_at_the_end)
{
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    double start = steady_seconds();
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    ASSERT_TRUE(BASS_ChannelSetPosition(h, 0));

    double first = position_seconds(h);
    EXPECT_LT(first, 0.1) << "the first reading after starting should be close to 0";

    std::vector<reading> r = read_for(h, start, 2.5);
    ASSERT_GT(r.size(), 100u);

    // never backwards, and never faster than the wall clock by more than a device buffer
    int backwards = 0;
    double worst_lead = 0.0;
    for (std::size_t i = 1; i < r.size(); ++i) {
        if (r[i].show < r[i - 1].show) ++backwards;
        worst_lead = std::max(worst_lead, (r[i].show - r[i - 1].show) - (r[i].wall - r[i - 1].wall));
    }
    EXPECT_EQ(backwards, 0);
    EXPECT_LT(worst_lead, 0.1);

    // what is heard trails what was handed to the device by the buffer queued ahead of the
    // speaker: no reading is ahead of the wall clock less one buffer (the dummy driver paces
    // itself up to 1% fast, a few milliseconds over this stretch)
    const double buffer_seconds = 2048 / 44100.0;
    for (const reading& x : r) {
        if (x.wall < 0.6) {
            ASSERT_LE(x.show, std::max(0.0, x.wall - buffer_seconds + 0.008)) << "at " << x.wall;
        }
    }

    // while playing, show time against wall time should be a straight line: the spread of
    // the readings about it is the jitter
    std::vector<reading> playing;
    for (const reading& x : r)
        if (x.show > 0.2 && x.show < 1.3) playing.push_back(x);
    ASSERT_GT(playing.size(), 50u);
    double n = static_cast<double>(playing.size());
    double sum_w = 0, sum_s = 0, sum_ww = 0, sum_ws = 0;
    for (const reading& x : playing) {
        sum_w += x.wall;
        sum_s += x.show;
        sum_ww += x.wall * x.wall;
        sum_ws += x.wall * x.show;
    }
    double slope = (n * sum_ws - sum_w * sum_s) / (n * sum_ww - sum_w * sum_w);
    double intercept = (sum_s - slope * sum_w) / n;
    double var = 0, low = 0, high = 0, lag = 0;
    for (const reading& x : playing) {
        double residual = x.show - (intercept + slope * x.wall);
        var += residual * residual;
        low = std::min(low, residual);
        high = std::max(high, residual);
        lag += x.wall - x.show;
    }
    std::printf("%zu readings while playing: rate %.4f of the steady clock, %.1f ms behind it, "
                "jitter %.3f ms rms, %.3f ms peak to peak\n",
                playing.size(), slope, lag / n * 1e3, std::sqrt(var / n) * 1e3, (high - low) * 1e3);
    // never faster than the device's pace; how much slower, and how uneven, depends on how
    // often a loaded machine lets the audio thread run, so only loose bounds hold there
    EXPECT_LE(slope, 1.03);
    EXPECT_GT(slope, 0.5);
    EXPECT_LT(std::sqrt(var / n), 0.25);

    // played to its end: exactly the file's length, and no further
    std::size_t length_frames = decode_with_ffmpeg(mp3).size() / 2;
    QWORD end = static_cast<QWORD>(length_frames) * 4;
    EXPECT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(h) >= end; }, 20.0));
    EXPECT_EQ(BASS_ChannelGetPosition(h), end);
    EXPECT_FLOAT_EQ(BASS_ChannelBytes2Seconds(h, end), length_frames / 44100.0f);
    sleep_seconds(0.3);
    EXPECT_EQ(BASS_ChannelGetPosition(h), end);
}

TEST_F(playback_clock, setting_position_zero_restarts_from_the_first_byte)
{
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    ASSERT_TRUE(wait_until([&] { return position_seconds(h) > 0.5; }, 10.0));

    ASSERT_TRUE(BASS_ChannelSetPosition(h, 0));
    EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);
    double after = steady_seconds();
    ASSERT_TRUE(wait_until([&] { return position_seconds(h) > 0.2; }, 10.0));
    EXPECT_GT(steady_seconds() - after, 0.15) << "it went on from where it was";

    // a position past the end is refused and changes nothing
    QWORD before = BASS_ChannelGetPosition(h);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, 10 * 44100 * 4));
    EXPECT_GE(BASS_ChannelGetPosition(h), before);
}

// Device 0 plays nothing; a stream's position then follows the steady clock.
TEST_F(playback_clock, no_sound_device_follows_the_steady_clock)
{
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelGetPosition(h), 0u) << "a stream stands at 0 until played";
    double start = steady_seconds();
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    sleep_seconds(0.3);
    double show = position_seconds(h);
    double wall = steady_seconds() - start;
    EXPECT_LE(show, wall);
    EXPECT_GT(show, 0.25);
    ASSERT_TRUE(wait_until([&] { return position_seconds(h) >= 1.4; }, 10.0));
    sleep_seconds(0.3);
    EXPECT_LT(position_seconds(h), 1.51);
}

// The "no sound" device takes samples on the steady clock like a device would: released while
// playing, it stops at once and opens again; played to its end, a stream stands at exactly its
// last frame, as on a real device.
TEST_F(playback_clock, no_sound_device_reopens_and_stops_at_the_exact_end)
{
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    ASSERT_TRUE(wait_until([&] { return position_seconds(h) > 0.2; }, 10.0));
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);

    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    QWORD end = static_cast<QWORD>(decode_with_ffmpeg(mp3).size() / 2) * 4;
    EXPECT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(h) >= end; }, 20.0));
    sleep_seconds(0.2);
    EXPECT_EQ(BASS_ChannelGetPosition(h), end);
}

// Handle 0, a handle that was never made, and one released by BASS_Free fail harmlessly.
TEST_F(playback_clock, missing_streams_read_as_zero)
{
    EXPECT_EQ(BASS_ChannelGetPosition(0), 0u);
    EXPECT_FALSE(BASS_Free()) << "nothing to free before BASS_Init";

    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << "a second init must fail";
    HSTREAM h = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(h, TRUE));
    ASSERT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(h) > 0; }, 10.0));

    for (DWORD missing : {DWORD(0), DWORD(h + 1), DWORD(12345)}) {
        EXPECT_EQ(BASS_ChannelGetPosition(missing), 0u);
        EXPECT_EQ(BASS_ChannelBytes2Seconds(missing, 441000), 0.0f);
        EXPECT_FALSE(BASS_ChannelPlay(missing, TRUE));
        EXPECT_FALSE(BASS_ChannelSetPosition(missing, 0));
    }

    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);
    EXPECT_FALSE(BASS_ChannelPlay(h, TRUE));
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, 0), 0u) << "no stream without a device";
}

// Without any device at all, initialisation fails.
TEST_F(playback_clock, unknown_driver_fails_init)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr, nullptr));
}
