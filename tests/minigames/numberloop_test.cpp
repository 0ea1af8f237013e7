#include "minigames/numberloop.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/misc.h"
#include "tests/support/gametest.h"
#include "tests/support/keys.h"
#include "tests/support/pixels.h"

namespace {

using MiniGames::NumberLoop;
using TestSupport::Colour;
using TestSupport::Frame;
using TestSupport::TextAt;

const int GoalOrder[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 20, 19, 18, 17, 16, 15, 14, 13, 12, 10};

class NumberLoopTest : public TestSupport::GameTest {};

// Board 1..20 in index order: a full loop that is not the goal.
void SetInOrder(NumberLoop& game) {
    for (int i = 0; i < 20; ++i)
        game.Board[i] = i + 1;
}

// Standard output captured for the object's lifetime.
class CapturedOut {
public:
    std::ostringstream Text;
    CapturedOut() : Saved(std::cout.rdbuf(Text.rdbuf())) {}
    ~CapturedOut() { std::cout.rdbuf(Saved); }

private:
    std::streambuf* Saved;
};

TEST_F(NumberLoopTest, DealTakesExactlyTwentyDraws) {
    srand(77);
    NumberLoop game;
    int next = rand();
    srand(77);
    for (int i = 0; i < 20; ++i)
        rand();
    EXPECT_EQ(next, rand());
    std::vector<int> values(game.Board, game.Board + 20);
    std::sort(values.begin(), values.end());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(values[i], i + 1);
    EXPECT_EQ(game.Num, 0);
    EXPECT_TRUE(TestSupport::DescribesItselfAs(game, "Number Loop - Worth 80 MPH", 80));
}

TEST_F(NumberLoopTest, TurningMovesPosAroundTheLoopAndNothingElse) {
    struct Row {
        int scancode;
        int presses;
        int from, to;
    } rows[] = {
        {KEY_LEFT, 20, 7, 7},
        {KEY_RIGHT, 20, 7, 7},
        {KEY_LEFT, 1, 19, 0},
        {KEY_RIGHT, 1, 0, 19},
        {KEY_LEFT, 3, 18, 1},
    };
    for (const Row& row : rows) {
        NumberLoop game;
        SetInOrder(game);
        game.Pos = row.from;
        for (int i = 0; i < row.presses; ++i) {
            TestSupport::TypeKey(row.scancode);
            game.Tick(366);
        }
        EXPECT_EQ(game.Pos, row.to) << row.presses << " turns from " << row.from;
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(game.Board[i], i + 1);
        EXPECT_EQ(game.Num, 0);
        EXPECT_TRUE(game.Running);
    }
}

TEST_F(NumberLoopTest, SpaceSwapsTheSlotWithTheNumberUnderTheLine) {
    NumberLoop game;
    SetInOrder(game);
    game.Pos = 17;
    TestSupport::TypeKey(KEY_SPACE, ' ');
    game.Tick(366);
    EXPECT_EQ(game.Num, 3);  // Board[(17 + 5) % 20]
    EXPECT_EQ(game.Board[2], 0);
    TestSupport::TypeKey(KEY_SPACE, ' ');
    game.Tick(366);
    EXPECT_EQ(game.Num, 0);
    EXPECT_EQ(game.Board[2], 3);
}

TEST_F(NumberLoopTest, GoalOrderAtAnyRotationWithEmptySlotWinsWithoutAKey) {
    for (int start : {0, 9, 19}) {
        for (int pos : {0, 13}) {
            NumberLoop game;
            for (int k = 0; k < 20; ++k)
                game.Board[(start + k) % 20] = GoalOrder[k];
            game.Pos = pos;
            game.Tick(366);
            EXPECT_TRUE(game.Won) << "rotation " << start << ", Pos " << pos;
            EXPECT_FALSE(game.Running);
        }
    }
}

TEST_F(NumberLoopTest, HoldingANumberIsNotSolvedUntilItGoesBack) {
    NumberLoop game;
    for (int k = 0; k < 20; ++k)
        game.Board[(4 + k) % 20] = GoalOrder[k];
    game.Num = 5;
    EXPECT_FALSE(game.Solved());  // the goal order with Num set is not enough

    game.Num = 0;
    game.Pos = 3;
    TestSupport::TypeKey(KEY_SPACE, ' ');
    game.Tick(366);  // takes the 5 from Board[8] into the slot
    ASSERT_EQ(game.Num, 5);
    EXPECT_TRUE(game.Running);
    TestSupport::TypeKey(KEY_RIGHT);
    game.Tick(366);
    EXPECT_TRUE(game.Running);  // turning never solves
    TestSupport::TypeKey(KEY_LEFT);
    TestSupport::TypeKey(KEY_SPACE, ' ');
    TestSupport::TickTimes(game, 2);
    EXPECT_TRUE(game.Won);
}

TEST_F(NumberLoopTest, GoalDumpWritesTheBoardByRawIndex) {
    NumberLoop game;
    SetInOrder(game);
    game.Pos = 6;
    std::ostringstream out;
    game.DumpGoal(out);
    const std::string expected =
        "if(Num == 0 && Board[(Pos + 0) % 20] == 1 && Board[(Pos + 1) % 20] == 2 "
        "&& Board[(Pos + 2) % 20] == 3 && Board[(Pos + 3) % 20] == 4 "
        "&& Board[(Pos + 4) % 20] == 5 && Board[(Pos + 5) % 20] == 6 "
        "&& Board[(Pos + 6) % 20] == 7 && Board[(Pos + 7) % 20] == 8 "
        "&& Board[(Pos + 8) % 20] == 9 && Board[(Pos + 9) % 20] == 10 "
        "&& Board[(Pos + 10) % 20] == 11 && Board[(Pos + 11) % 20] == 12 "
        "&& Board[(Pos + 12) % 20] == 13 && Board[(Pos + 13) % 20] == 14 "
        "&& Board[(Pos + 14) % 20] == 15 && Board[(Pos + 15) % 20] == 16 "
        "&& Board[(Pos + 16) % 20] == 17 && Board[(Pos + 17) % 20] == 18 "
        "&& Board[(Pos + 18) % 20] == 19 && Board[(Pos + 19) % 20] == 20 )";
    EXPECT_EQ(out.str(), expected);

    // Z, with or without Shift, writes the same to standard output and changes nothing.
    CapturedOut captured;
    TestSupport::TypeKey(KEY_Z, 'z');
    TestSupport::TypeKey(KEY_Z, 'Z');
    TestSupport::TickTimes(game, 2);
    EXPECT_EQ(captured.Text.str(), expected + expected);
    EXPECT_EQ(game.Pos, 6);
    EXPECT_EQ(game.Board[0], 1);
}

TEST_F(NumberLoopTest, BoardAndSlotHoldZeroToTwentyOnceUnderAnyKeys) {
    const int keys[] = {KEY_LEFT, KEY_RIGHT, KEY_SPACE, KEY_Z, KEY_A, KEY_ENTER, KEY_UP};
    std::mt19937 pick(2024);
    std::uniform_int_distribution<int> which(0, 6);
    NumberLoop game;
    CapturedOut quiet;  // Z dumps would only clutter the test log
    for (int i = 0; i < 5000 && game.Running; ++i) {
        TestSupport::TypeKey(keys[which(pick)]);
        game.Tick(366);
        std::vector<int> values(game.Board, game.Board + 20);
        values.push_back(game.Num);
        std::sort(values.begin(), values.end());
        for (int v = 0; v <= 20; ++v)
            ASSERT_EQ(values[v], v) << "after key " << i;
        ASSERT_GE(game.Pos, 0);
        ASSERT_LT(game.Pos, 20);
    }
    EXPECT_FALSE(keypressed());
}

TEST_F(NumberLoopTest, HelpTextIsAllHardBlanks) {
    std::unique_ptr<MiniGames::MiniGameInfo> info(NumberLoop().GetInfo());
    const std::string& help = info->Help;
    EXPECT_EQ(help.size(), 456u);
    EXPECT_EQ(std::count(help.begin(), help.end(), '\xB7'), 162);
    EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 11);
    EXPECT_EQ(std::count(help.begin(), help.end(), ' '), 0);
}

TEST_F(NumberLoopTest, HelpPictureKeepsItsColumnsThroughTheWordWrap) {
    std::unique_ptr<MiniGames::MiniGameInfo> info(NumberLoop().GetInfo());
    std::vector<char> text(info->Help.begin(), info->Help.end());
    text.push_back('\n');  // only lines ended by a line feed are drawn
    text.push_back(0);
    Frame frame;
    int grey = Colour(64, 64, 64);
    int white = Colour(255, 255, 255);
    int black = Colour(0, 0, 0);
    clear_to_color(frame.Bmp, grey);  // so painted blank cells show up black
    Misc::MGMtextoutWordWrap(frame.Bmp, font, 100, 100, 600, 400, white, black, text.data());

    // The first line is one 207-byte word: broken into 74 + 74 + 59 characters.
    int y = 100 + 3 * 8;
    const char stem[] = "0||X||";
    for (int r = 0; r < 6; ++r, y += 8) {
        EXPECT_TRUE(TestSupport::GlyphAt(frame.Bmp, 100 + 11 * 8, y, stem[r], white)) << r;
        EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 100, y, 100 + 11 * 8 - 1, y + 7, black),
                  11 * 8 * 8)
            << "eleven hard blanks before '" << stem[r] << "'";
    }
    EXPECT_TRUE(TextAt(frame.Bmp, 100, y, " 01 02 03 04 05 06 07 08 09", white));
    EXPECT_TRUE(TextAt(frame.Bmp, 100, y + 8, "10                        11", white));
    EXPECT_TRUE(TextAt(frame.Bmp, 100, y + 16, " 12 13 14 15 16 17 18 19 20", white));
    EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 100, y + 8, 100 + 28 * 8 - 1, y + 15, grey), 0);
    EXPECT_TRUE(TextAt(frame.Bmp, 100, y + 32, "The quicker you", white));
}

TEST_F(NumberLoopTest, DrawsNineRowsEachCentred) {
    NumberLoop game;
    SetInOrder(game);
    game.Pos = 2;
    TestSupport::TypeKey(KEY_SPACE, ' ');
    game.Tick(366);  // 8 goes up into the slot
    Frame frame;
    game.Draw(frame.Bmp);
    const char* rows[] = {
        "           08           ",        "           |           ",
        "           |           ",         "           X           ",
        "           |           ",         "           |           ",
        " 04 05 06 07 00 09 10 11 12",     "03                         13",
        " 02 01 20 19 18 17 16 15 14",
    };
    for (int r = 0; r < 9; ++r) {
        int x = 400 - static_cast<int>(std::strlen(rows[r])) * 8 / 2;
        EXPECT_TRUE(TextAt(frame.Bmp, x, 20 + r * 8, rows[r], Colour(255, 255, 255)))
            << "row " << r;
    }
}

TEST_F(NumberLoopTest, TimeOutEndsUnwonWithoutTakingTheKey) {
    NumberLoop game;
    SetInOrder(game);
    TestSupport::TypeKey(KEY_SPACE, ' ');
    EXPECT_TRUE(TestSupport::TimesOutBeforeReadingKeys(game, 0));
    EXPECT_EQ(game.Num, 0);
}

}  // namespace
