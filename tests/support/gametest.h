#ifndef HALTWICK_TESTS_SUPPORT_GAMETEST_H
#define HALTWICK_TESTS_SUPPORT_GAMETEST_H

#include <allegro.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/minigame.h"

namespace TestSupport {

// Base fixture for mini-game tests: no key pressed or held leaks into or out of a test.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Ticks game n times with plenty of time left (timeLeft in whole seconds).
void TickTimes(MiniGames::MiniGame& game, int n, int timeLeft = 366);

// Reads back the line of built-in-font text drawn in colour fg starting at (x, y), one 8-pixel
// cell at a time up to the bitmap's right edge; trailing blanks are dropped. "" when no text.
std::string ReadText(BITMAP* bmp, int x, int y, int fg);

// Draws game into a fresh black frame and reads back its white status line at (15, 15).
std::string StatusLine(MiniGames::MiniGame& game);

// Ticks game once with timeLeft (below 1) while a key waits in the buffer: the game must end
// unwon in that tick, leave the key where it was and draw nothing afterwards.
::testing::AssertionResult TimesOutBeforeReadingKeys(MiniGames::MiniGame& game, int timeLeft);

// Two GetInfo calls give two distinct records, each with this name and worth and some help.
::testing::AssertionResult DescribesItselfAs(MiniGames::MiniGame& game, const std::string& name,
                                             int worth);

}  // namespace TestSupport

#endif
