// measure_bins reads the spectrum the show fetches: the same frames, bit for bit, through the audio layer.
#include "tools/soundtrack/bin_spectrum.h"
#include "tools/soundtrack/synth.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "platform/bass.h"

namespace {
const double k_pi = 3.14159265358979323846;

// A sweep from 100 Hz to 5 kHz over 2 s, different on the two sides: one frame later is
// already another spectrum, and a wrong mono mix shows too.
std::string sweep_mp3()
{
    stereo_bus bus = make_bus(2 * k_rate);
    double phase = 0.0;
    for (long n = 0; n < 2 * k_rate; ++n) {
        double hz = 100.0 + 2450.0 * n / k_rate;
        phase += 2.0 * k_pi * hz / k_rate;
        bus.left[n] = 0.6f * (float)std::sin(phase);
        bus.right[n] = 0.3f * (float)std::sin(2.0 * phase);
    }
    std::string path = testing::TempDir() + "vellamor_sweep_" + std::to_string(getpid()) + ".mp3";
    return encode_mp3(bus, path.c_str(), 192) ? path : std::string();
}

struct layer_spectrum : ::testing::Test {
    std::string path = sweep_mp3();
    decoded_music music;
    void TearDown() override
    {
        close_decoded_music(music);
        if (!path.empty()) unlink(path.c_str());
    }

    // What the show's BASS_ChannelGetData returns with the stream standing at `frame`.
    void show_fetch(HSTREAM h, std::int64_t frame, float* out)
    {
        ASSERT_TRUE(BASS_ChannelSetPosition(h, static_cast<QWORD>(frame) * 4));
        ASSERT_EQ(BASS_ChannelGetData(h, out, BASS_DATA_FFT1024), 512u * sizeof(float));
    }
};
}  // namespace

// The tool's time t is the frame round(t × rate), which is where the show's fetch ends its
// window when that frame is heard; a tool that floored, or decoded on its own, would differ.
TEST_F(layer_spectrum, tool_values_equal_the_shows_fetch_at_the_nearest_frame)
{
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(open_decoded_music(path.c_str(), music));
    HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    ASSERT_EQ(music.rate, k_rate);

    float tool[512], show[512], neighbour[512];
    for (double frame : {700.7, 22050.3, 44100.5, 70000.8}) {
        std::int64_t nearest = std::llround(frame);
        ASSERT_TRUE(spectrum_at(music, frame / k_rate, tool));
        show_fetch(h, nearest, show);
        show_fetch(h, nearest - 1, neighbour);
        int differing = 0;
        for (int k = 0; k < 512; ++k) {
            ASSERT_EQ(tool[k], show[k]) << "frame " << frame << " value " << k;
            differing += tool[k] != neighbour[k];
        }
        EXPECT_GT(differing, 100) << "one frame earlier should read differently at frame " << frame;
    }
}

// A file the layer cannot decode gives the tool no samples, so it fails instead of measuring silence.
TEST_F(layer_spectrum, a_file_the_layer_cannot_decode_gives_no_stream)
{
    std::string junk = testing::TempDir() + "vellamor_junk_" + std::to_string(getpid()) + ".mp3";
    FILE* f = fopen(junk.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs("not an mp3 at all\n", f);
    fclose(f);
    EXPECT_FALSE(open_decoded_music(junk.c_str(), music));
    EXPECT_EQ(music.samples, nullptr);
    EXPECT_FALSE(open_decoded_music("/nonexistent/vellamor.mp3", music));
    EXPECT_EQ(music.frames, 0);
    unlink(junk.c_str());
}
