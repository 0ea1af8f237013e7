#include "minigames/arrows.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/support/gametest.h"
#include "tests/support/keys.h"

namespace {

using MiniGames::Arrows;
using TestSupport::HeldKeys;
using TestSupport::TickTimes;
using TestSupport::TypeKey;

class ArrowsTest : public TestSupport::GameTest {};

// Any arrow but the one named.
int OtherArrow(int arrow) { return arrow == KEY_LEFT ? KEY_RIGHT : KEY_LEFT; }

TEST_F(ArrowsTest, ArrowNameCoversTheFourArrowsAndNothingElse) {
    struct Row {
        int Code;
        const char* Name;
    } rows[] = {
        {KEY_LEFT, "Left"},
        {KEY_RIGHT, "Right"},
        {KEY_UP, "Up"},
        {KEY_DOWN, "Down"},
        {0, "Weird - this is a bug!"},
        {KEY_DOWN + 1, "Weird - this is a bug!"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.Name, Arrows::ArrowName(row.Code)) << row.Code;
}

TEST_F(ArrowsTest, EveryNewGameNamesARealArrowAndAllFourCome) {
    srand(7);
    std::set<int> named;
    for (int i = 0; i < 200; ++i) {
        Arrows game;
        named.insert(game.Arrow);
        EXPECT_EQ(std::string("Arrow 0: ") + Arrows::ArrowName(game.Arrow),
                  TestSupport::StatusLine(game));
    }
    EXPECT_EQ((std::set<int>{KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN}), named);
}

TEST_F(ArrowsTest, NamedArrowCountsOnlyWhileAKeyWaits) {
    Arrows game;
    HeldKeys held({game.Arrow});
    TickTimes(game, 5);
    EXPECT_EQ(0, game.Count) << "held down but nothing in the buffer";
    TypeKey(game.Arrow);
    game.Tick(366);
    EXPECT_EQ(1, game.Count);
    EXPECT_TRUE(keypressed()) << "the buffer is only looked at";
}

TEST_F(ArrowsTest, WrongArrowChangesNothing) {
    Arrows game;
    int named = game.Arrow;
    HeldKeys held({OtherArrow(named)});
    TypeKey(OtherArrow(named));
    TickTimes(game, 10);
    EXPECT_EQ(0, game.Count);
    EXPECT_EQ(named, game.Arrow);
    EXPECT_TRUE(keypressed());
}

TEST_F(ArrowsTest, TwentiethPressWinsInItsTick) {
    Arrows game;
    // With every arrow down and a key waiting, each tick counts one press.
    HeldKeys held({KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN});
    TypeKey(KEY_SPACE, ' ');
    TickTimes(game, 19);
    EXPECT_EQ(19, game.Count);
    EXPECT_TRUE(game.Running);
    EXPECT_EQ(std::string("Arrow 19: ") + Arrows::ArrowName(game.Arrow),
              TestSupport::StatusLine(game));
    game.Tick(366);
    EXPECT_EQ(20, game.Count);
    EXPECT_FALSE(game.Running);
    EXPECT_TRUE(game.Won);
    EXPECT_TRUE(keypressed()) << "twenty presses and the buffer was never read";
}

TEST_F(ArrowsTest, TimeUpEndsEvenWithTheNamedArrowDown) {
    for (int timeLeft : {0, -2}) {
        Arrows game;
        HeldKeys held({game.Arrow});
        TypeKey(game.Arrow);
        EXPECT_TRUE(TestSupport::TimesOutBeforeReadingKeys(game, timeLeft)) << timeLeft;
        EXPECT_EQ(0, game.Count);
    }
}

TEST_F(ArrowsTest, DescribesItself) {
    Arrows game;
    EXPECT_TRUE(TestSupport::DescribesItselfAs(game, "Arrows - Worth 10 MPH", 10));
}

}  // namespace
