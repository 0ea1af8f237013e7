#include "minigames/alphabet.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include "tests/support/gametest.h"
#include "tests/support/keys.h"

namespace {

using MiniGames::Alphabet;
using TestSupport::TypeKey;
using TestSupport::TypeText;

class AlphabetTest : public TestSupport::GameTest {};

TEST_F(AlphabetTest, OnlyTheExpectedLetterInEitherCaseAdvances) {
    struct Row {
        const char* What;
        char Expected;
        int Scancode, Ascii;
        char After;
    } rows[] = {
        {"lower case", 'a', KEY_A, 'a', 'b'},
        {"upper case", 'a', KEY_A, 'A', 'b'},
        {"the next letter is too early", 'a', KEY_B, 'b', 'a'},
        {"the upper case of another letter", 'a', KEY_B, 'B', 'a'},
        {"an arrow key has no character", 'a', KEY_LEFT, 0, 'a'},
        {"a function key has no character", 'a', KEY_F1, 0, 'a'},
    };
    for (const Row& row : rows) {
        Alphabet game;
        game.Letter = row.Expected;
        TypeKey(row.Scancode, row.Ascii);
        game.Tick(366);
        EXPECT_EQ(row.After, game.Letter) << row.What;
        EXPECT_FALSE(keypressed()) << row.What << ": the key is taken either way";
        EXPECT_TRUE(game.Running) << row.What;
    }
}

TEST_F(AlphabetTest, OneKeyPerTickAndAWrongKeyIsDropped) {
    Alphabet game;
    TypeText("bab");
    game.Tick(366);
    EXPECT_EQ('a', game.Letter);
    EXPECT_TRUE(keypressed());
    game.Tick(366);
    EXPECT_EQ('b', game.Letter) << "the key after a wrong one is compared with the same letter";
    game.Tick(366);
    EXPECT_EQ('c', game.Letter);
}

TEST_F(AlphabetTest, WholeAlphabetWinsOnTheZTick) {
    Alphabet game;
    TypeText("abcdefghijklmnopqrstuvwxy");
    TestSupport::TickTimes(game, 25);
    EXPECT_EQ('z', game.Letter);
    EXPECT_TRUE(game.Running);
    EXPECT_EQ("Current Letter: z", TestSupport::StatusLine(game));
    TypeText("Z");
    game.Tick(366);
    EXPECT_FALSE(game.Running);
    EXPECT_TRUE(game.Won);
    EXPECT_EQ("", TestSupport::StatusLine(game));
}

TEST_F(AlphabetTest, TimeUpEndsBeforeTheWaitingLetterIsRead) {
    for (int timeLeft : {0, -1}) {
        Alphabet game;
        game.Letter = 'z';
        TypeText("z");
        EXPECT_TRUE(TestSupport::TimesOutBeforeReadingKeys(game, timeLeft)) << timeLeft;
        EXPECT_EQ('z', game.Letter);
        TestSupport::ClearKeys();
    }
}

TEST_F(AlphabetTest, ShowsTheLetterToType) {
    Alphabet game;
    EXPECT_EQ("Current Letter: a", TestSupport::StatusLine(game));
}

TEST_F(AlphabetTest, DescribesItself) {
    Alphabet game;
    EXPECT_TRUE(TestSupport::DescribesItselfAs(game, "Alphabet - Worth 10 MPH", 10));
}

}  // namespace
