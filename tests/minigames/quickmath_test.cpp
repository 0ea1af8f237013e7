#include "minigames/quickmath.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gametest.h"
#include "tests/support/keys.h"

namespace {

using MiniGames::QuickMath;
using MiniGames::QuickMath_Problem;
using TestSupport::TickTimes;
using TestSupport::TypeKey;
using TestSupport::TypeText;

class QuickMathTest : public TestSupport::GameTest {};

struct Key {
    int Scancode;
    int Ascii;
};
const Key Backspace{KEY_BACKSPACE, 8};
const Key Minus{KEY_MINUS, '-'};
const Key LetterX{KEY_X, 'x'};
Key Digit(char d) { return {d == '0' ? KEY_0 : KEY_1 + (d - '1'), d}; }
Key PadDigit(char d) { return {d == '0' ? KEY_0_PAD : KEY_1_PAD + (d - '1'), d}; }

// Types value and then the given Enter key, one tick per key.
void Answer(QuickMath& game, int value, Key enter = {KEY_ENTER, '\r'}) {
    std::string digits = std::to_string(value);
    TypeText(digits.c_str());
    TypeKey(enter.Scancode, enter.Ascii);
    TickTimes(game, static_cast<int>(digits.size()) + 1);
}

TEST_F(QuickMathTest, RandProbKeepsOperandsInRangeWithTheLargerFirst) {
    srand(20240601);
    std::set<char> ops;
    int maxA = 0, maxB = 0;
    for (int i = 0; i < 3000; ++i) {
        std::unique_ptr<QuickMath_Problem> p(QuickMath::RandProb());
        std::istringstream in(p->Text);
        int a = 0, b = 0;
        char op = 0;
        in >> a >> op >> b;
        std::ostringstream plain;
        plain << a << ' ' << op << ' ' << b;
        ASSERT_EQ(plain.str(), p->Text) << "not plain decimal with one blank around the sign";
        ops.insert(op);
        if (op == '*') {
            ASSERT_TRUE(a >= 1 && a <= 10 && b >= 1 && b <= 10) << p->Text;
            ASSERT_EQ(a * b, p->Answer) << p->Text;
            continue;
        }
        ASSERT_TRUE(op == '+' || op == '-') << p->Text;
        ASSERT_TRUE(a >= 1 && a <= 400 && b >= 1 && b <= 200) << p->Text;
        ASSERT_LE(b, a) << p->Text;
        ASSERT_EQ(op == '+' ? a + b : a - b, p->Answer) << p->Text;
        maxA = std::max(maxA, a);
        maxB = std::max(maxB, b);
    }
    EXPECT_EQ((std::set<char>{'+', '-', '*'}), ops);
    // The whole ranges are used, not just their start.
    EXPECT_GT(maxA, 350);
    EXPECT_GT(maxB, 180);
}

TEST_F(QuickMathTest, EleventhCorrectAnswerWinsTenthDoesNot) {
    QuickMath game;
    for (int solved = 1; solved <= 11; ++solved) {
        game.Tick(366);  // makes the next problem
        ASSERT_NE(nullptr, game.CurProb);
        Answer(game, game.CurProb->Answer);
        EXPECT_EQ(solved, game.Solved);
        EXPECT_EQ(nullptr, game.CurProb);
        EXPECT_EQ(solved > 10, game.Won) << solved << " answers";
        EXPECT_EQ(solved <= 10, game.Running) << solved << " answers";
    }
}

TEST_F(QuickMathTest, NoProblemShownBetweenCorrectAnswerAndNextTick) {
    QuickMath game;
    game.Tick(366);
    Answer(game, game.CurProb->Answer);
    EXPECT_EQ("", TestSupport::StatusLine(game));
    TypeText("5");
    game.Tick(366);  // a fresh problem first, then the key
    ASSERT_NE(nullptr, game.CurProb);
    EXPECT_EQ(5, game.Input);
    EXPECT_EQ("Current Problem: " + game.CurProb->Text + " = 5", TestSupport::StatusLine(game));
}

TEST_F(QuickMathTest, WrongAnswerKeepsTheProblemAndClearsTheEntry) {
    QuickMath game;
    game.Tick(366);
    QuickMath_Problem* shown = game.CurProb;
    Answer(game, shown->Answer + 1);
    EXPECT_EQ(shown, game.CurProb);
    EXPECT_EQ(0, game.Input);
    EXPECT_EQ(0, game.Solved);
    EXPECT_TRUE(game.Running);
}

TEST_F(QuickMathTest, EnterChecksOnlyByScancode) {
    struct Row {
        const char* What;
        Key Enter;
        int Solved;
    } rows[] = {
        {"main Enter", {KEY_ENTER, '\r'}, 1},
        {"keypad Enter", {KEY_ENTER_PAD, '\r'}, 1},
        {"Ctrl+M gives a carriage return but is no Enter", {KEY_M, '\r'}, 0},
    };
    for (const Row& row : rows) {
        QuickMath game;
        game.Tick(366);
        Answer(game, game.CurProb->Answer, row.Enter);
        EXPECT_EQ(row.Solved, game.Solved) << row.What;
        TestSupport::ClearKeys();
    }
}

TEST_F(QuickMathTest, KeysBuildTheEntry) {
    struct Row {
        const char* What;
        std::vector<Key> Keys;
        int Input;
    } rows[] = {
        {"digits append", {Digit('1'), Digit('2'), Digit('3')}, 123},
        {"leading zeros are harmless", {Digit('0'), Digit('0'), Digit('7')}, 7},
        {"Backspace clears the whole entry", {Digit('1'), Digit('2'), Backspace}, 0},
        {"typing goes on after Backspace", {Digit('9'), Backspace, Digit('5')}, 5},
        {"keypad digits count", {PadDigit('4'), PadDigit('0')}, 40},
        {"minus and letters are ignored", {Digit('4'), Minus, LetterX, Digit('2')}, 42},
    };
    for (const Row& row : rows) {
        QuickMath game;
        game.Tick(366);
        for (const Key& k : row.Keys)
            TypeKey(k.Scancode, k.Ascii);
        TickTimes(game, static_cast<int>(row.Keys.size()));
        EXPECT_EQ(row.Input, game.Input) << row.What;
        EXPECT_FALSE(keypressed()) << row.What << ": one key per tick";
        TestSupport::ClearKeys();
    }
}

TEST_F(QuickMathTest, DigitsBeyondWhatAnIntHoldsAreDropped) {
    QuickMath game;
    game.Tick(366);
    TypeText("999999999999999");
    TickTimes(game, 15);
    EXPECT_EQ(999999999, game.Input);
    QuickMath_Problem* shown = game.CurProb;
    TypeKey(KEY_ENTER, '\r');
    game.Tick(366);
    EXPECT_EQ(0, game.Input);
    EXPECT_EQ(0, game.Solved);
    EXPECT_EQ(shown, game.CurProb);
}

TEST_F(QuickMathTest, TimeUpEndsBeforeACorrectAnswerIsRead) {
    for (int timeLeft : {0, -30}) {
        QuickMath game;
        game.Tick(366);
        std::string digits = std::to_string(game.CurProb->Answer);
        TypeText(digits.c_str());
        TickTimes(game, static_cast<int>(digits.size()));
        TypeKey(KEY_ENTER, '\r');
        EXPECT_TRUE(TestSupport::TimesOutBeforeReadingKeys(game, timeLeft)) << timeLeft;
        EXPECT_EQ(0, game.Solved);
        TestSupport::ClearKeys();
    }
    QuickMath fresh;
    fresh.Tick(0);
    EXPECT_EQ(nullptr, fresh.CurProb) << "no problem is made once time is up";
}

TEST_F(QuickMathTest, DrawsTheProblemAndTheEntry) {
    QuickMath game;
    EXPECT_EQ("", TestSupport::StatusLine(game)) << "nothing before the first problem";
    game.CurProb = new QuickMath_Problem("317 + 45", 362);
    game.Input = 36;
    EXPECT_EQ("Current Problem: 317 + 45 = 36", TestSupport::StatusLine(game));
}

TEST_F(QuickMathTest, DescribesItself) {
    QuickMath game;
    EXPECT_TRUE(TestSupport::DescribesItselfAs(game, "Quick Math - Worth 25 MPH", 25));
}

}  // namespace
