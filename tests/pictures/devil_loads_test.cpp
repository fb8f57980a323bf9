// The show's own image library (DevIL) reads every shipped file at its full size, with alpha where it cuts out.
#include <IL/il.h>
#include <gtest/gtest.h>

#include <string>

#include "assets/picture_files.h"
#include "tests/support/shipped_data.h"

TEST(devil, decodes_the_shipped_files_as_the_show_loads_them)
{
    ilInit();
    for (const picture_file& c : g_picture_files) {
        ILuint id = ilGenImage();
        ilBindImage(id);
        std::string path = repository_root() + "/data/" + c.file;
        ASSERT_TRUE(ilLoadImage(path.c_str())) << c.file << ": DevIL error " << ilGetError();
        EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), c.width) << c.file;
        EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), c.height) << c.file;
        ILint format = ilGetInteger(IL_IMAGE_FORMAT);
        bool alpha = format == IL_RGBA || format == IL_BGRA || format == IL_LUMINANCE_ALPHA;
        EXPECT_EQ(alpha, is_cut_out(c.role)) << c.file << " format " << format;
        ilDeleteImage(id);
    }
}
