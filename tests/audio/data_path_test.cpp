// The soundtrack's "Data/" folder and the images' "data/" folder are one folder on Linux too.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/bass.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/support/temp_dir.h"

struct data_path : ::testing::Test {
    std::string dir = make_temp_dir();
    std::string old_cwd = std::filesystem::current_path().string();

    void SetUp() override
    {
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
        std::filesystem::create_directory(dir + "/data");
        ASSERT_TRUE(make_mp3(dir + "/data/song.mp3", "0.5*sin(2*PI*440*t)", 44100, 1.0));
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }
    void TearDown() override
    {
        BASS_Free();
        EXPECT_EQ(chdir(old_cwd.c_str()), 0);
        remove_dir(dir);
    }
};

static HSTREAM open_file(const char* path)
{
    return BASS_StreamCreateFile(FALSE, path, 0, 0, BASS_STREAM_PRESCAN);
}

// Whether the stream lasts at least this long: a seek beyond its end is refused.
static bool lasts(HSTREAM h, double seconds)
{
    return BASS_ChannelSetPosition(h, static_cast<QWORD>(seconds * 44100) * 4);
}

TEST_F(data_path, capital_data_reaches_the_lower_case_folder)
{
    EXPECT_NE(open_file("Data/song.mp3"), 0u);
    EXPECT_NE(open_file("data/song.mp3"), 0u);
}

TEST_F(data_path, only_the_leading_folder_is_retried)
{
    EXPECT_EQ(open_file("Data/missing.mp3"), 0u);
    EXPECT_EQ(open_file("DATA/song.mp3"), 0u);
    EXPECT_EQ(open_file("Dat/song.mp3"), 0u);
    EXPECT_EQ(open_file("x/Data/song.mp3"), 0u);
    EXPECT_EQ(open_file("Song.mp3"), 0u);
}

// Where a "Data" folder exists as well, the path as given wins.
TEST_F(data_path, the_path_as_given_comes_first)
{
    std::filesystem::create_directory(dir + "/Data");
    ASSERT_TRUE(make_mp3(dir + "/Data/song.mp3", "0.5*sin(2*PI*440*t)", 44100, 2.0));
    HSTREAM upper = open_file("Data/song.mp3");
    HSTREAM lower = open_file("data/song.mp3");
    ASSERT_NE(upper, 0u);
    ASSERT_NE(lower, 0u);
    EXPECT_TRUE(lasts(upper, 1.5));
    EXPECT_FALSE(lasts(lower, 1.5));
}
