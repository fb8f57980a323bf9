// The FFT1024 spectrum: the right bin at each rate, the documented scale, and the right samples,
// and the same values of samples held in memory (pcm_spectrum).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/bass.h"
#include "platform/mp3_decoder.h"
#include "platform/pcm_spectrum.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

static const int k_bins = 512;
static const int k_size = 1024;

// The spectrum as defined, computed directly from ffmpeg's decoding: the 1024 frames ending
// at `end`, (L+R)/2 in [-1, 1], a periodic Hann window, |DFT| times 4/1024.
static std::vector<double> reference_spectrum(const std::vector<std::int16_t>& pcm, long end)
{
    const double pi = 3.14159265358979323846;
    long frames = static_cast<long>(pcm.size() / 2);
    std::vector<double> x(k_size, 0.0);
    for (int n = 0; n < k_size; ++n) {
        long f = end - k_size + n;
        if (f < 0 || f >= frames) continue;
        double mono = (pcm[f * 2] + pcm[f * 2 + 1]) / 65536.0;
        x[n] = mono * (0.5 - 0.5 * std::cos(2 * pi * n / k_size));
    }
    std::vector<double> mags(k_bins);
    for (int k = 0; k < k_bins; ++k) {
        double re = 0, im = 0;
        for (int n = 0; n < k_size; ++n) {
            re += x[n] * std::cos(2 * pi * k * n / k_size);
            im -= x[n] * std::sin(2 * pi * k * n / k_size);
        }
        mags[k] = std::sqrt(re * re + im * im) * 4.0 / k_size;
    }
    return mags;
}

struct spectrum_fetch : ::testing::Test {
    std::string dir = make_temp_dir();
    float spectrum[k_bins];

    // The "no sound" device: a stream that is not played stands where it is set, so each
    // fetch sees a known position.
    void SetUp() override { ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr)); }
    void TearDown() override
    {
        BASS_Free();
        remove_dir(dir);
    }

    HSTREAM open(const std::string& name, const std::string& expression, int rate, double seconds)
    {
        std::string path = dir + "/" + name;
        if (!make_mp3(path, expression, rate, seconds)) return 0;
        return BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    }

    void fetch_at(HSTREAM h, long frame)
    {
        ASSERT_TRUE(BASS_ChannelSetPosition(h, static_cast<QWORD>(frame) * 4));
        for (float& v : spectrum) v = -1.0f;
        ASSERT_EQ(BASS_ChannelGetData(h, spectrum, BASS_DATA_FFT1024), 2048u);
    }
};

// A sine of amplitude 0.5 at a bin's centre reads 0.5 there, a quarter of that in each
// neighbour (the Hann window's spread) and almost nothing elsewhere, at three sample rates.
TEST_F(spectrum_fetch, sine_at_bin_centre_peaks_there_with_the_documented_scale)
{
    struct rate_case {
        int rate;
        int bin;
    };
    for (rate_case c : {rate_case{44100, 23}, rate_case{48000, 21}, rate_case{32000, 32}}) {
        SCOPED_TRACE(c.rate);
        double freq = c.bin * static_cast<double>(c.rate) / k_size;
        char expression[128];
        std::snprintf(expression, sizeof expression, "0.5*sin(2*PI*%.6f*t)", freq);
        HSTREAM h = open("sine" + std::to_string(c.rate) + ".mp3", expression, c.rate, 1.5);
        ASSERT_NE(h, 0u);
        fetch_at(h, c.rate);  // one second in

        int peak = 0;
        for (int k = 1; k < k_bins; ++k)
            if (spectrum[k] > spectrum[peak]) peak = k;
        std::printf("%d Hz file, %.3f Hz sine: bin %d reads %.4f, neighbours %.4f %.4f\n", c.rate, freq, peak,
                    spectrum[peak], spectrum[peak - 1], spectrum[peak + 1]);
        EXPECT_EQ(peak, c.bin);
        EXPECT_NEAR(spectrum[c.bin], 0.5, 0.02);
        EXPECT_NEAR(spectrum[c.bin - 1], 0.25, 0.02);
        EXPECT_NEAR(spectrum[c.bin + 1], 0.25, 0.02);
        for (int k = 0; k < k_bins; ++k)
            if (std::abs(k - c.bin) > 2) {
                ASSERT_LT(spectrum[k], 0.01) << "bin " << k;
            }
    }
}

// Every bin against the spectrum computed from an independent decoding of the file, at
// positions before the start, across the start, inside, and at the very end. Left and right
// differ, and the sound starts only at 0.5 s, so a window in the wrong place or a wrong
// channel mix shows.
TEST_F(spectrum_fetch, all_bins_match_the_definition)
{
    std::string path = dir + "/sweep.mp3";
    ASSERT_TRUE(make_mp3(path, "gte(t,0.5)*0.6*sin(2*PI*(300*t+900*t*t))|gte(t,0.5)*0.3*sin(2*PI*5000*t)", 44100, 1.5));
    std::vector<std::int16_t> pcm = decode_with_ffmpeg(path);
    long frames = static_cast<long>(pcm.size() / 2);
    HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);

    long onset = 22050;
    for (long end : {0L, 700L, onset + 100, onset + 900, 44100L, frames}) {
        SCOPED_TRACE(end);
        fetch_at(h, end);
        std::vector<double> want = reference_spectrum(pcm, end);
        double worst = 0, loudest = 0;
        for (int k = 0; k < k_bins; ++k) {
            worst = std::max(worst, std::abs(spectrum[k] - want[k]));
            loudest = std::max(loudest, want[k]);
        }
        std::printf("window ending at frame %ld: loudest bin %.4f, largest difference %.2e\n", end, loudest, worst);
        // the two decoders agree to about 1e-6 here; the same window one frame off is 2e-4 away
        EXPECT_LT(worst, 5e-5);
    }
}

TEST_F(spectrum_fetch, silence_gives_zeros)
{
    HSTREAM h = open("silence.mp3", "0", 44100, 1.0);
    ASSERT_NE(h, 0u);
    fetch_at(h, 30000);
    for (int k = 0; k < k_bins; ++k) ASSERT_LT(spectrum[k], 1e-6f) << "bin " << k;
}

// Without a stream the call fails and leaves a silent spectrum; other requests are refused.
TEST_F(spectrum_fetch, missing_stream_gives_zeros_and_fails)
{
    for (float& v : spectrum) v = 7.0f;
    EXPECT_EQ(BASS_ChannelGetData(0, spectrum, BASS_DATA_FFT1024), static_cast<DWORD>(-1));
    for (int k = 0; k < k_bins; ++k) ASSERT_EQ(spectrum[k], 0.0f) << "bin " << k;

    HSTREAM h = open("tone.mp3", "0.5*sin(2*PI*440*t)", 44100, 1.0);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelGetData(h, spectrum, 4096), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ChannelGetData(h, nullptr, BASS_DATA_FFT1024), static_cast<DWORD>(-1));
}

// pcm_spectrum on the layer's own decoding of a stream reads bit for bit what the show's fetch
// reads with that frame heard; on another decoder's samples, and past their end, it follows
// the definition.
TEST_F(spectrum_fetch, samples_in_memory_read_as_the_shows_fetch)
{
    std::string path = dir + "/sweep.mp3";
    ASSERT_TRUE(make_mp3(path, "gte(t,0.5)*0.6*sin(2*PI*(300*t+900*t*t))|0.3*sin(2*PI*5000*t)", 44100, 1.5));
    HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
    ASSERT_NE(h, 0u);
    std::vector<std::int16_t> layer;
    int rate = 0;
    ASSERT_TRUE(decode_mp3_file(path.c_str(), layer, rate));
    long layer_frames = static_cast<long>(layer.size() / 2);

    float mine[k_bins];
    for (long end : {0L, 700L, 22150L, 44100L, layer_frames}) {
        SCOPED_TRACE(end);
        fetch_at(h, end);
        ASSERT_TRUE(pcm_spectrum(layer.data(), layer_frames, end, mine));
        for (int k = 0; k < k_bins; ++k) ASSERT_EQ(mine[k], spectrum[k]) << "bin " << k;
    }

    std::vector<std::int16_t> pcm = decode_with_ffmpeg(path);
    long frames = static_cast<long>(pcm.size() / 2);
    for (long end : {-5L, 900L, 30000L, frames + 300, frames + 1023, frames + 5000}) {
        SCOPED_TRACE(end);
        ASSERT_TRUE(pcm_spectrum(pcm.data(), frames, end, mine));
        std::vector<double> want = reference_spectrum(pcm, end);
        double worst = 0;
        for (int k = 0; k < k_bins; ++k) worst = std::max(worst, std::abs(mine[k] - want[k]));
        EXPECT_LT(worst, 5e-5);
    }
}

// The stream is decoded as it is reached, so a fetch after a seek reads frames decoded from
// there: forwards, backwards, a little or far, they are the frames a straight decoding of the
// whole file has, to the bit. Low-bitrate files lean on the most frames before the one sought
// (layer III's bit reservoir) and round differently in each phase of the synthesis filter.
TEST_F(spectrum_fetch, seeks_anywhere_read_the_frames_of_a_straight_decoding)
{
    const char* music = "0.4*sin(2*PI*(200*t+30*t*t))+0.1*sin(2*PI*3000*t)|0.4*sin(2*PI*330*t)+0.2*random(0)-0.1";
    struct file_case {
        const char* name;
        int rate;
        const char* options;
    };
    const file_case files[] = {
        {"mpeg2_vbr.mp3", 22050, "-q:a 9"},
        {"mono.mp3", 44100, "-ac 1 -b:a 64k"},
        {"mpeg25_8k.mp3", 8000, "-b:a 8k"},
    };
    for (const file_case& f : files) {
        SCOPED_TRACE(f.name);
        std::string path = dir + "/" + f.name;
        char command[1024];
        std::snprintf(
            command, sizeof command,
            "ffmpeg -nostdin -v error -y -f lavfi -i \"aevalsrc=%s:s=%d:d=12\" -c:a libmp3lame %s \"%s\"", music,
            f.rate, f.options, path.c_str());
        ASSERT_EQ(std::system(command), 0);
        std::vector<std::int16_t> whole;
        int rate = 0;
        ASSERT_TRUE(decode_mp3_file(path.c_str(), whole, rate));
        const long frames = static_cast<long>(whole.size() / 2);
        HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_PRESCAN);
        ASSERT_NE(h, 0u);

        float want[k_bins];
        for (double at : {0.9, 0.1, 0.91, 0.5, 0.52, 0.3, 0.75, 0.05, 0.99, 0.6, 1.0, 0.2}) {
            long end = static_cast<long>(at * frames);
            SCOPED_TRACE(end);
            fetch_at(h, end);
            ASSERT_TRUE(pcm_spectrum(whole.data(), frames, end, want));
            for (int k = 0; k < k_bins; ++k) ASSERT_EQ(spectrum[k], want[k]) << "bin " << k;
        }
    }
}

// The transform belongs to the layer: without BASS_Init there is none, and the values are zeros.
TEST_F(spectrum_fetch, samples_in_memory_need_the_layer_started)
{
    std::vector<std::int16_t> pcm(2 * 4096);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<std::int16_t>(12000 * std::sin(0.3 * (i / 2)));
    EXPECT_TRUE(pcm_spectrum(pcm.data(), 4096, 2048, spectrum));
    float loudest = 0.0f;
    for (float v : spectrum) loudest = std::max(loudest, v);
    EXPECT_GT(loudest, 0.1f);

    BASS_Free();
    for (float& v : spectrum) v = 7.0f;
    EXPECT_FALSE(pcm_spectrum(pcm.data(), 4096, 2048, spectrum));
    for (int k = 0; k < k_bins; ++k) ASSERT_EQ(spectrum[k], 0.0f) << "bin " << k;
}
