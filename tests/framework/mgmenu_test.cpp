#include "framework/mgmenu.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/support/fakegame.h"
#include "tests/support/gametest.h"
#include "tests/support/keys.h"
#include "tests/support/typist.h"

namespace {

using MiniGameManagement::MGMenu;
using TestSupport::FakeGame;

using Script = std::vector<TestSupport::TypistStep>;

std::atomic<int> Pending{0};  // plays GameTime

class MenuTest : public TestSupport::GameTest {
protected:
    int White = 0;

    void SetUp() override {
        GameTest::SetUp();
        White = makecol(255, 255, 255);
    }
    void TearDown() override {
        EXPECT_EQ(FakeGame::Live, 0) << "the menu's games leaked or were deleted twice";
        FakeGame::Live = 0;
        GameTest::TearDown();
    }

    // Runs GetChoice against the script, after typing typedBefore.
    int Choose(MGMenu& menu, const Script& script, const std::vector<int>& typedBefore = {}) {
        for (int code : typedBefore)
            TestSupport::TypeKey(code);
        TestSupport::Typist typist(&Pending, script);
        int choice = menu.GetChoice(&Pending);
        EXPECT_FALSE(typist.FellBack()) << "the menu did not return on the scripted Enter";
        EXPECT_EQ(typist.StepsPlayed(), static_cast<int>(script.size()))
            << "the menu returned before the script ended";
        EXPECT_LE(Pending.load(), 0) << "pending ticks left to the shell";
        return choice;
    }
};

struct ChoiceCase {
    const char* Rule;
    std::vector<int> TypedBefore;
    Script Steps;
    int Expected;
};

TEST_F(MenuTest, KeysMoveTheSelectionAndEnterPicksIt) {
    const ChoiceCase cases[] = {
        {"Enter alone picks the first game", {}, {{{KEY_ENTER}, 1}}, 0},
        {"Up on the first line stays there", {}, {{{KEY_UP}, 1}, {{KEY_ENTER}, 1}}, 0},
        {"Down stops at the last line",
         {},
         {{{KEY_DOWN}, 1}, {{KEY_DOWN}, 1}, {{KEY_DOWN}, 1}, {{KEY_DOWN}, 1}, {{KEY_DOWN}, 1},
          {{KEY_DOWN}, 1}, {{KEY_ENTER}, 1}},
         4},
        {"Up moves back", {}, {{{KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_UP, KEY_ENTER}, 5}}, 2},
        {"keys after Enter in its pass still count", {}, {{{KEY_ENTER, KEY_DOWN, KEY_DOWN}, 3}}, 2},
        {"one key per tick: a single tick ends the pass at Enter",
         {},
         {{{KEY_ENTER, KEY_DOWN}, 1}},
         0},
        {"a key with no tick pending waits for a later pass",
         {},
         {{{KEY_DOWN}, 0}, {{KEY_ENTER}, 2}},
         1},
        {"other keys, the keypad's Enter among them, are ignored",
         {},
         {{{KEY_ESC, KEY_ENTER_PAD, KEY_A, KEY_DOWN}, 4}, {{KEY_ENTER}, 1}},
         1},
        {"keys typed before the menu opened are thrown away",
         {KEY_DOWN, KEY_DOWN, KEY_DOWN},
         {{{KEY_ENTER}, 1}},
         0},
        {"every pending tick is used up", {}, {{{KEY_ENTER}, 7}}, 0},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        MGMenu menu(TestSupport::FakeFactories);
        EXPECT_EQ(Choose(menu, c.Steps, c.TypedBefore), c.Expected);
        TestSupport::ClearKeys();
    }
}

TEST_F(MenuTest, KeysUnreadAtEnterStayForTheGame) {
    MGMenu menu(TestSupport::FakeFactories);
    EXPECT_EQ(Choose(menu, {{{KEY_ENTER, KEY_DOWN, KEY_UP}, 1}}), 0);
    ASSERT_TRUE(keypressed());
    EXPECT_EQ(readkey() >> 8, KEY_DOWN);
    ASSERT_TRUE(keypressed());
    EXPECT_EQ(readkey() >> 8, KEY_UP);
}

// Stands in for the shell's presenter, which shows each page at the window's scale.
bool ShowPage(BITMAP* page) {
    blit(page, screen, 0, 0, 0, 0, page->w, page->h);
    return true;
}

TEST_F(MenuTest, ScreenListsEveryGameWithAnArrowOnTheSelection) {
    MGMenu menu(TestSupport::FakeFactories);
    menu.Present = ShowPage;
    ASSERT_EQ(Choose(menu, {{{KEY_DOWN, KEY_ENTER}, 2}}), 1);
    const char* const lines[] = {
        "   Fake 0 - Worth 10 MPH", "--> Fake 1 - Worth 20 MPH", "   Fake 2 - Worth 30 MPH",
        "   Fake 3 - Worth 40 MPH", "   Fake 4 - Worth 50 MPH",
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(TestSupport::ReadText(screen, 15, 15 + 8 * i, White), lines[i]) << "line " << i;
    EXPECT_EQ(TestSupport::ReadText(screen, 15, 55, White), "");
    EXPECT_EQ(TestSupport::ReadText(screen, 0, 0, White), "") << "nothing above the list";
}

// Stands in for the presenter when the game must quit once the marker left the first line.
bool QuitOnceMoved(BITMAP* page) {
    return TestSupport::ReadText(page, 15, 15, makecol(255, 255, 255)).rfind("-->", 0) == 0;
}

TEST_F(MenuTest, AQuitLeavesWithNoChoiceEvenInThePassOfEnter) {
    const ChoiceCase cases[] = {
        {"a quit with a line marked", {}, {{{KEY_DOWN}, 1}}, -1},
        {"a quit in the pass that read Enter", {}, {{{KEY_DOWN, KEY_ENTER}, 2}}, -1},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.Rule);
        MGMenu menu(TestSupport::FakeFactories);
        menu.Present = QuitOnceMoved;
        EXPECT_EQ(Choose(menu, c.Steps, c.TypedBefore), c.Expected);
        TestSupport::ClearKeys();
    }
}

TEST_F(MenuTest, EachChoiceStartsAtTheFirstLine) {
    MGMenu menu(TestSupport::FakeFactories);
    EXPECT_EQ(Choose(menu, {{{KEY_DOWN, KEY_DOWN, KEY_ENTER}, 3}}), 2);
    EXPECT_EQ(Choose(menu, {{{KEY_ENTER}, 1}}), 0);
}

TEST_F(MenuTest, EmptyMenuReturnsTheFirstLineAtOnce) {
    MGMenu menu({});
    Pending = 3;
    EXPECT_EQ(menu.GetChoice(&Pending), 0);
}

}  // namespace
