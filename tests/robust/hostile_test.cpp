// The built game where it cannot run as it likes: no display, a display nobody serves, and
// servers with colour depths other than 24 bits, all without a window manager, with stdin
// closed and in a session of its own. It must either run correctly or end at once with -1
// (status 255); never by a signal, and never with a sanitizer's report.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/robust/screen.h"
#include "tests/support/xserver.h"

namespace {

// Starting the game on display ends with status 255 within a few seconds.
void ExpectRefused(const std::string& display) {
    TestSupport::GameProcess game({Robust::GamePath()}, display);
    ASSERT_TRUE(game.Wait(20000)) << "still running on \"" << display << "\"";
    EXPECT_EQ(game.ExitCode, 255) << game.Ending() << "\n" << game.Errors();
    EXPECT_FALSE(Robust::SanitizerReported(game.Errors())) << game.Errors();
}

// On a server of this depth the game either refuses as above or shows its main screen with its
// status lines and ends cleanly through Escape and the end screen.
void ExpectRunsOrRefused(int depth) {
    TestSupport::XServer server(depth);
    ASSERT_FALSE(server.Display.empty());
    TestSupport::GameProcess game({Robust::GamePath()}, server.Display);
    Robust::Screen screen(server.Display);
    if (!screen.Find("Haltwick", 20000)) {
        std::printf("%d bits: refused\n", depth);
        ASSERT_TRUE(game.Wait(5000)) << "no window, yet still running";
        EXPECT_EQ(game.ExitCode, 255) << game.Ending() << "\n" << game.Errors();
        EXPECT_FALSE(Robust::SanitizerReported(game.Errors())) << game.Errors();
        return;
    }
    std::printf("%d bits: runs\n", depth);
    EXPECT_TRUE(
        TestSupport::WaitFor([&] { return screen.StatusLine(2) == "Speed: 150 MPH"; }, 10000))
        << screen.StatusLine(2);
    EXPECT_EQ(screen.StatusLine(1).rfind("Time Left: 6:0", 0), 0u) << screen.StatusLine(1);
    ASSERT_TRUE(screen.Quit(game, 10000)) << game.Errors();
    EXPECT_EQ(game.ExitCode, 0) << game.Ending() << "\n" << game.Errors();
    EXPECT_FALSE(Robust::SanitizerReported(game.Errors())) << game.Errors();
}

TEST(Hostile, NoDisplayEndsWithMinusOne) { ExpectRefused(""); }

TEST(Hostile, DisplayWithoutAServerEndsWithMinusOne) {
    // A local display number no server listens on.
    ExpectRefused(":4711");
}

TEST(Hostile, SixteenBitDisplay) { ExpectRunsOrRefused(16); }
TEST(Hostile, FifteenBitDisplay) { ExpectRunsOrRefused(15); }
TEST(Hostile, EightBitDisplay) { ExpectRunsOrRefused(8); }
TEST(Hostile, ThirtyBitDisplay) { ExpectRunsOrRefused(30); }

}  // namespace
