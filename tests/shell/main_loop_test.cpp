// The frame loop with a counting renderer and a settable clock: passes, stops, caption, g_keys.
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "show/timeline.h"
#include "shell/main_loop.h"
#include "tests/support/gl_window.h"
#include "tests/support/settable_clock.h"

// Linked in place of the show's timeline: counts frames, ends the show on a chosen frame and
// can act on a chosen frame, as a user would between two passes.
static int g_frames = 0;
static int g_last_frame = 3;                 // render_frame returns false on this frame
static int g_escape_frame = 0;               // on this frame Escape goes down in SDL's key state
static std::vector<std::string> g_captions;  // the caption as each frame found it

bool render_frame()
{
    ++g_frames;
    g_captions.push_back(g_caption);
    if (g_frames == g_escape_frame) SDL_GetKeyState(nullptr)[SDLK_ESCAPE] = 1;
    return g_frames < g_last_frame;
}

static void reset_loop(int last_frame)
{
    g_quit = 0;
    g_keys = nullptr;
    g_caption[0] = '\0';
    g_frames = 0;
    g_last_frame = last_frame;
    g_escape_frame = 0;
    g_captions.clear();
    set_show_time(0.0f);
}

static std::string caption_for(const char* number)
{
    return "Ostravelle 2008 - Vellamor" + std::string(30, ' ') + "Time:  " + number;
}

TEST(main_loop_without_events, stops_when_the_show_is_over_without_ever_reading_keys)
{
    // no SDL at all, as when no window could be opened: no event ever arrives
    reset_loop(3);
    EXPECT_TRUE(run_main_loop());
    EXPECT_EQ(g_frames, 3);
    EXPECT_EQ(g_quit, 1);
    EXPECT_EQ(g_keys, nullptr);
}

TEST(main_loop_without_events, writes_the_caption_after_every_frame_including_the_last)
{
    reset_loop(3);
    script_show_time({12.5f, -9.25f, 83.0f});
    run_main_loop();
    // one clock reading per pass, taken for the caption after the frame
    EXPECT_EQ(show_time_reads(), 3);
    ASSERT_EQ(g_captions.size(), 3u);
    EXPECT_EQ(g_captions[0], "");
    EXPECT_EQ(g_captions[1], caption_for("12.500000"));
    EXPECT_EQ(g_captions[2], caption_for("-9.250000"));
    EXPECT_EQ(std::string(g_caption), caption_for("83.000000"));
}

TEST(main_loop_with_window, a_quit_event_stops_after_the_pass_it_arrived_in)
{
    ASSERT_TRUE(open_show_window());
    reset_loop(1000);
    SDL_Event quit;
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 0);
    set_show_time(30.5f);

    EXPECT_TRUE(run_main_loop());
    EXPECT_EQ(g_frames, 1) << "the pass draws its frame, then the loop ends";
    EXPECT_EQ(show_time_reads(), 1);
    EXPECT_EQ(std::string(g_caption), caption_for("30.500000"));
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(std::string(title), caption_for("30.500000"));
}

TEST(main_loop_with_window, any_event_gives_the_key_state_and_held_escape_stops_at_the_pass_end)
{
    ASSERT_TRUE(open_show_window());
    reset_loop(1000);
    SDL_Event user;
    user.type = SDL_USEREVENT;
    user.user.code = 0;
    user.user.data1 = user.user.data2 = nullptr;
    ASSERT_EQ(SDL_PushEvent(&user), 0);
    g_escape_frame = 4;

    EXPECT_TRUE(run_main_loop());
    EXPECT_EQ(g_keys, SDL_GetKeyState(nullptr));
    EXPECT_NE(g_keys, nullptr);
    EXPECT_EQ(g_frames, 4) << "Escape went down during frame 4 and is seen at that pass's end";
    EXPECT_EQ(show_time_reads(), 4);
    SDL_GetKeyState(nullptr)[SDLK_ESCAPE] = 0;
}
