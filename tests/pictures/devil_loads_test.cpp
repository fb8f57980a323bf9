// The show's own image library (DevIL) reads every shipped file at its full size, with alpha where it cuts out.
#include <IL/il.h>
#include <gtest/gtest.h>

#include <string>

struct devil_case {
    const char *name;
    int width, height;
    bool alpha;
};

static const devil_case g_cases[] = {
    {"Dimbrane.png", 1024, 128, true},      {"Presents.png", 1024, 128, true},
    {"Rosamelt.png", 1024, 512, true},      {"Flanokk.png", 1024, 512, true},
    {"VuvedUruvi.jpg", 512, 512, false},    {"Univers.png", 1024, 1024, false},
    {"VexilCredits.png", 1024, 512, true},  {"GFXCredit.png", 1024, 512, true},
    {"MusicCredits.png", 1024, 512, true},  {"Gaming.png", 1024, 512, true},
    {"Bilde01.jpg", 1024, 1024, false},  {"Bilde02.jpg", 1024, 1024, false},
    {"Bilde03.jpg", 1024, 1024, false},  {"Bilde04.jpg", 1024, 1024, false},
    {"Bilde05.jpg", 1024, 1024, false},  {"Bilde06.jpg", 1024, 1024, false},
    {"Bilde07.jpg", 1024, 1024, false},  {"Bilde08.jpg", 1024, 1024, false},
    {"Bilde09.jpg", 1024, 1024, false},  {"Bilde10.jpg", 1024, 1024, false},
    {"Bilde11.jpg", 1024, 1024, false},  {"Bilde12.jpg", 1024, 1024, false},
    {"Bilde13.jpg", 1024, 1024, false},  {"Bilde14.jpg", 1024, 1024, false},
    {"Bilde15.jpg", 1024, 1024, false},  {"Bilde16.jpg", 1024, 1024, false},
    {"Bilde17.jpg", 1024, 1024, false},
    {"Zorq1.png", 1024, 512, true},
};

TEST(DevIL, DecodesTheShippedFilesAsTheShowLoadsThem)
{
    ilInit();
    for (const devil_case &c : g_cases) {
        ILuint id = ilGenImage();
        ilBindImage(id);
        std::string path = std::string(VL_DATA_DIR) + "/" + c.name;
        ASSERT_TRUE(ilLoadImage(path.c_str())) << c.name << ": DevIL error " << ilGetError();
        EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), c.width) << c.name;
        EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), c.height) << c.name;
        ILint format = ilGetInteger(IL_IMAGE_FORMAT);
        bool alpha = format == IL_RGBA || format == IL_BGRA || format == IL_LUMINANCE_ALPHA;
        EXPECT_EQ(alpha, c.alpha) << c.name << " format " << format;
        ilDeleteImage(id);
    }
}
