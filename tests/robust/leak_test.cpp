// A short play of the built game under valgrind: the chooser menu, a mini-game with its help,
// abandoning it, a random one, and the end screen. Valgrind's status fails the test on any
// memory error and on any block definitely lost.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/robust/screen.h"
#include "tests/support/xserver.h"

namespace {

TEST(Leaks, NoneLostThroughMenuGameHelpAndEndScreen) {
    TestSupport::XServer server;
    ASSERT_FALSE(server.Display.empty());
    TestSupport::GameProcess game(
        {"valgrind", "--leak-check=full", "--show-leak-kinds=definite",
         "--errors-for-leak-kinds=definite", "--error-exitcode=99", "--num-callers=30",
         Robust::GamePath()},
        server.Display);
    Robust::Screen screen(server.Display);
    ASSERT_TRUE(screen.Find("Haltwick", 60000)) << game.Errors();
    // Everything is slow under valgrind: generous waits, and held keys until the game reacts.
    const int wait = 30000;
    auto shows = [&](int x, int y, const char* text) {
        return [&screen, x, y, text] { return screen.Shows(x, y, text); };
    };
    auto inGame = shows(0, 0, "Mini Game: ");
    auto onTrain = [&] { return !screen.Shows(0, 0, "Mini Game: "); };

    ASSERT_TRUE(screen.HoldUntil(XK_Tab, shows(15, 15, "--> Alphabet"), wait));
    screen.Hold(XK_Down, 30);
    screen.Hold(XK_Down, 30);
    ASSERT_TRUE(TestSupport::WaitFor(shows(15, 31, "--> Cows and Bulls"), wait));
    screen.Hold(XK_Return, 30);
    ASSERT_TRUE(TestSupport::WaitFor(shows(0, 0, "Mini Game: Cows and Bulls"), wait));
    ASSERT_TRUE(screen.HoldUntil(XK_F1, shows(100, 100, "Help for Cows and Bulls"), wait));
    screen.Hold(XK_x, 30);
    ASSERT_TRUE(TestSupport::WaitFor([&] { return !screen.Shows(100, 100, "Help for"); }, wait));
    for (unsigned long digit : {XK_1, XK_2, XK_3, XK_4})
        screen.Hold(digit, 30);
    ASSERT_TRUE(TestSupport::WaitFor(shows(40, 90, "Guess 1: 1234"), wait));
    ASSERT_TRUE(screen.HoldUntil(XK_End, onTrain, wait));
    ASSERT_TRUE(screen.HoldUntil(XK_Home, inGame, wait));
    ASSERT_TRUE(screen.HoldUntil(XK_End, onTrain, wait));
    ASSERT_TRUE(screen.Quit(game, wait));
    EXPECT_EQ(game.ExitCode, 0) << game.Errors();
}

}  // namespace
