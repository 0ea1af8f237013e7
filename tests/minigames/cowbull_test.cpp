#include "minigames/cowbull.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/gametest.h"
#include "tests/support/keys.h"
#include "tests/support/pixels.h"

namespace {

using MiniGames::CowBull;
using TestSupport::Colour;
using TestSupport::Frame;
using TestSupport::ReadText;

class CowBullTest : public TestSupport::GameTest {};

void SetDigits(int digits[4], const char* text) {
    for (int k = 0; k < 4; ++k)
        digits[k] = text[k] - '0';
}

// True when the 8 x 8 cell at (x, y) shows glyph a with glyph b laid over it, in colour fg.
bool OverlaidAt(BITMAP* bmp, int x, int y, char a, char b, int fg) {
    Frame ref(8, 8);
    int ink = Colour(255, 255, 255);
    char s[2] = {a, 0};
    textout_ex(ref.Bmp, font, s, 0, 0, ink, -1);
    s[0] = b;
    textout_ex(ref.Bmp, font, s, 0, 0, ink, -1);
    for (int dy = 0; dy < 8; ++dy)
        for (int dx = 0; dx < 8; ++dx)
            if ((getpixel(ref.Bmp, dx, dy) == ink) != (getpixel(bmp, x + dx, y + dy) == fg))
                return false;
    return true;
}

// Checks the current-guess line shows digits with the underscore under digit `under` only.
void ExpectGuessLine(CowBull& game, const char* digits, int under) {
    Frame frame;
    game.Draw(frame.Bmp);
    int white = Colour(255, 255, 255);
    EXPECT_TRUE(TestSupport::TextAt(frame.Bmp, 50, 50, "Guess:  ", white));
    for (int k = 0; k < 4; ++k) {
        int x = 50 + 8 * (8 + 2 * k);
        if (k == under)
            EXPECT_TRUE(OverlaidAt(frame.Bmp, x, 50, digits[k], '_', white)) << "digit " << k;
        else
            EXPECT_TRUE(TestSupport::GlyphAt(frame.Bmp, x, 50, digits[k], white)) << "digit " << k;
    }
}

TEST(ScoreGuess, OnePassMarkingGivesTheseScores) {
    struct Row {
        const char* hidden;
        const char* guess;
        int cows, bulls;
    } rows[] = {
        {"1234", "1234", 0, 4},
        {"1234", "4321", 4, 0},
        {"1122", "1212", 2, 2},
        {"1234", "1111", 0, 1},
        {"1234", "2222", 1, 0},
        {"5123", "1100", 1, 0},  // the first 1's cow uses up the second 1's bull
        {"1223", "2200", 2, 0},
        {"3312", "1333", 2, 1},
        {"0042", "0024", 2, 2},
    };
    for (const Row& row : rows) {
        int hidden[4], guess[4];
        SetDigits(hidden, row.hidden);
        SetDigits(guess, row.guess);
        MiniGames::CowBull_Guess score = MiniGames::ScoreGuess(hidden, guess);
        EXPECT_EQ(score.Cows, row.cows) << row.hidden << " vs " << row.guess;
        EXPECT_EQ(score.Bulls, row.bulls) << row.hidden << " vs " << row.guess;
        EXPECT_EQ(score.Number, std::atoi(row.guess)) << row.guess;
    }
}

TEST_F(CowBullTest, SecretIsFourDrawsInDigitOrder) {
    srand(31);
    int expected[4];
    for (int& digit : expected)
        digit = rand() % 10;
    srand(31);
    CowBull game;
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(game.Hidden[k], expected[k]) << "digit " << k;
    EXPECT_TRUE(TestSupport::DescribesItselfAs(game, "Cows and Bulls - Worth 55 MPH", 55));
}

TEST_F(CowBullTest, LeadingZeroGuessIsListedThenExactGuessWins) {
    CowBull game;
    SetDigits(game.Hidden, "0042");
    TestSupport::TypeText("0024");
    TestSupport::TickTimes(game, 4);
    ASSERT_EQ(game.Guesses.size(), 1u);
    EXPECT_EQ(game.Guesses[0].Number, 24);
    EXPECT_TRUE(game.Running);
    {
        Frame frame;
        game.Draw(frame.Bmp);
        EXPECT_EQ(ReadText(frame.Bmp, 25, 75, Colour(255, 255, 255)), "Previous Guesses:");
        EXPECT_EQ(ReadText(frame.Bmp, 40, 90, Colour(255, 255, 255)),
                  "Guess 1: 0024   Cows: 2  Bulls: 2");
    }

    TestSupport::TypeText("0042");
    TestSupport::TickTimes(game, 4);
    EXPECT_FALSE(game.Running);
    EXPECT_TRUE(game.Won);
    ASSERT_EQ(game.Guesses.size(), 2u);
    EXPECT_EQ(game.Guesses[1].Bulls, 4);
    Frame frame;
    game.Draw(frame.Bmp);
    EXPECT_EQ(TestSupport::CountPixels(frame.Bmp, 0, 0, 799, 599, 0), 800 * 600);
}

TEST_F(CowBullTest, TakesOneKeyPerTickAndIgnoresNonDigits) {
    CowBull game;
    SetDigits(game.Hidden, "9999");
    TestSupport::TypeText("1a2");
    TestSupport::TypeKey(KEY_ENTER, '\r');
    TestSupport::TypeText("34");
    game.Tick(366);
    EXPECT_EQ(game.GuessPos, 1);
    EXPECT_TRUE(keypressed());
    TestSupport::TickTimes(game, 4);  // a, 2, Enter, 3
    EXPECT_EQ(game.GuessPos, 3);
    EXPECT_TRUE(game.Guesses.empty());
    game.Tick(366);  // the fourth digit is scored in the tick it arrives
    ASSERT_EQ(game.Guesses.size(), 1u);
    EXPECT_EQ(game.Guesses[0].Number, 1234);
    EXPECT_EQ(game.GuessPos, 0);
}

TEST_F(CowBullTest, CursorStandsUnderTheDigitTheNextKeyFills) {
    CowBull game;
    SetDigits(game.Hidden, "9999");
    ExpectGuessLine(game, "0000", 0);
    TestSupport::TypeText("7");
    game.Tick(366);
    ExpectGuessLine(game, "7000", 1);
    TestSupport::TypeText("123");
    TestSupport::TickTimes(game, 3);
    ExpectGuessLine(game, "0000", 0);
}

TEST_F(CowBullTest, HistoryShowsTheNewestRowsThatFitWithTheirOwnNumbers) {
    // 600-pixel screen, 8-pixel font: (600 - 100) / 8 = 62 rows from y 90.
    struct Row {
        int guesses;
        const char* top;
        const char* bottom;
    } rows[] = {
        {62, "Guess 62: 0061   Cows: 1  Bulls: 0", "Guess 1: 0000   Cows: 1  Bulls: 0"},
        {63, "Guess 63: 0062   Cows: 1  Bulls: 0", "Guess 2: 0001   Cows: 1  Bulls: 0"},
    };
    for (const Row& row : rows) {
        CowBull game;
        for (int i = 0; i < row.guesses; ++i)
            game.Guesses.push_back(MiniGames::CowBull_Guess(i, 1, 0));
        Frame frame;
        game.Draw(frame.Bmp);
        int white = Colour(255, 255, 255);
        EXPECT_EQ(ReadText(frame.Bmp, 40, 90, white), row.top);
        EXPECT_EQ(ReadText(frame.Bmp, 40, 90 + 61 * 8, white), row.bottom);
        EXPECT_EQ(ReadText(frame.Bmp, 40, 90 + 62 * 8, white), "") << row.guesses << " guesses";
    }
}

TEST_F(CowBullTest, TimeOutMidGuessEndsUnwonWithoutTakingTheKey) {
    CowBull game;
    SetDigits(game.Hidden, "1234");
    TestSupport::TypeText("123");
    TestSupport::TickTimes(game, 3);
    TestSupport::TypeText("4");
    EXPECT_TRUE(TestSupport::TimesOutBeforeReadingKeys(game, 0));
    EXPECT_TRUE(game.Guesses.empty());
}

}  // namespace
