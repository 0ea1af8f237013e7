#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/minigamemanager.h"
#include "minigames/quickmath.h"
#include "shell/clock.h"
#include "shell/run.h"
#include "tests/support/clockreset.h"
#include "tests/support/keys.h"
#include "tests/support/pixels.h"
#include "tests/support/typist.h"

namespace {

using TestSupport::HeldKeys;

const int QuickMathIndex = 4;

class RunTest : public testing::Test {
protected:
    GameShell::Run* Run = nullptr;

    void SetUp() override {
        TestSupport::ResetClock();
        TestSupport::ClearKeys();
        Run = new GameShell::Run(create_bitmap(SCREEN_W, SCREEN_H));
        TimerActive = true;
    }
    void TearDown() override {
        delete Run;
        TestSupport::ClearKeys();
        TestSupport::ResetClock();
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Run->Tick();
    }
    // True when the frame shows text as a status line ending at the screen's right edge.
    bool StatusLineShows(int row, const std::string& text) {
        Run->ComposeFrame();
        int x = SCREEN_W - 8 * static_cast<int>(text.size());
        return TestSupport::TextAt(Run->Buffer, x, row * 8, text.c_str(), makecol(255, 255, 255));
    }
    // Starts Quick Math one correct answer short of a win, its answer typed and Enter waiting.
    void QuickMathAboutToBeWon() {
        Run->InGame = true;
        Run->Manager->NewMiniGame(QuickMathIndex);
        auto* game = static_cast<MiniGames::QuickMath*>(Run->Manager->CurGame);
        game->Solved = 10;
        game->CurProb = MiniGames::QuickMath::RandProb();
        game->Input = game->CurProb->Answer;
        TestSupport::TypeKey(KEY_ENTER, '\r');
    }
};

TEST_F(RunTest, StartsAtSixMinutesSixAndOneHundredFiftyMph) {
    EXPECT_TRUE(StatusLineShows(0, "FPS: 0"));
    EXPECT_TRUE(StatusLineShows(1, "Time Left: 6:06"));
    EXPECT_TRUE(StatusLineShows(2, "Speed: 150 MPH"));
    EXPECT_FALSE(Run->InGame);
    EXPECT_TRUE(Run->Manager->GameActive) << "an unseen game is started before the first key";
}

TEST_F(RunTest, TimeLineKeepsTheSignOfANegativeRemainder) {
    SElapsed = 366 + 14;
    EXPECT_TRUE(StatusLineShows(1, "Time Left: 0:-14"));
    SElapsed = 366 - 75;
    EXPECT_TRUE(StatusLineShows(1, "Time Left: 1:15"));
}

TEST_F(RunTest, CtrlDownHeldSeventyFiveTicksStopsTheTrainAndWins) {
    HeldKeys held({KEY_DOWN}, true);
    Ticks(74);
    EXPECT_EQ(Run->Train.Speed, 1);
    EXPECT_FALSE(Run->Finished);
    Ticks(1);
    EXPECT_TRUE(Run->Finished);
    EXPECT_TRUE(Run->Won);
    Ticks(5);
    EXPECT_EQ(Run->Train.Speed, 0) << "never goes below zero";
}

TEST_F(RunTest, CtrlUpStopsAtTwoHundredMph) {
    HeldKeys held({KEY_UP}, true);
    Ticks(40);
    EXPECT_EQ(Run->Train.Speed, 100);
    EXPECT_TRUE(StatusLineShows(2, "Speed: 200 MPH"));
}

TEST_F(RunTest, ArrowsWithoutCtrlLeaveTheSpeedAlone) {
    HeldKeys held({KEY_UP, KEY_DOWN});
    Ticks(10);
    EXPECT_EQ(Run->Train.Speed, 75);
}

TEST_F(RunTest, EscapeLosesUnlessTheTrainStoppedInTheSameTick) {
    {
        HeldKeys held({KEY_ESC});
        Ticks(1);
        EXPECT_TRUE(Run->Finished);
        EXPECT_FALSE(Run->Won);
    }
    Run->Finished = false;
    Run->Train.Speed = 1;
    HeldKeys held({KEY_ESC, KEY_DOWN}, true);
    Ticks(1);
    EXPECT_TRUE(Run->Finished);
    EXPECT_TRUE(Run->Won);
}

TEST_F(RunTest, TimeRunningOutLosesButAStopInThatTickWins) {
    SElapsed = 366;
    Ticks(1);
    EXPECT_TRUE(Run->Finished);
    EXPECT_FALSE(Run->Won);

    Run->Finished = false;
    Run->Train.Speed = 1;
    HeldKeys held({KEY_DOWN}, true);
    Ticks(1);
    EXPECT_TRUE(Run->Finished);
    EXPECT_TRUE(Run->Won);
}

TEST_F(RunTest, PendingTicksRunInFullAfterTheRunIsFinished) {
    // Escape finishes the run in the first tick; Ctrl+Down keeps acting in the other 49.
    HeldKeys held({KEY_ESC, KEY_DOWN}, true);
    GameTime = 50;
    GameShell::MainLoop(*Run);
    EXPECT_EQ(GameTime, 0);
    EXPECT_EQ(Run->Train.Speed, 75 - 50);
    EXPECT_EQ(CurFPS, 1) << "one frame is drawn before the loop leaves";
}

TEST_F(RunTest, HomeStartsARandomGameAndEndChargesThirtySeconds) {
    {
        HeldKeys held({KEY_HOME});
        Ticks(1);
    }
    EXPECT_TRUE(Run->InGame);
    EXPECT_TRUE(Run->Manager->GameActive);
    EXPECT_FALSE(Run->Manager->LastWon) << "the unseen game was ended, not won";
    {
        HeldKeys held({KEY_END});
        Ticks(1);
    }
    EXPECT_FALSE(Run->InGame);
    EXPECT_FALSE(Run->Manager->GameActive);
    EXPECT_EQ(SElapsed, 30);
    EXPECT_EQ(Run->Train.Speed, 75) << "abandoning costs time, not speed";
    EXPECT_TRUE(StatusLineShows(1, "Time Left: 5:36"));
}

TEST_F(RunTest, HomeAndEndInOneTickStillChargeThePenalty) {
    HeldKeys held({KEY_HOME, KEY_END});
    Ticks(1);
    EXPECT_FALSE(Run->InGame);
    EXPECT_EQ(SElapsed, 30);
}

TEST_F(RunTest, GameKeysActOnlyInTheirState) {
    {
        HeldKeys held({KEY_END});
        Ticks(3);
    }
    EXPECT_EQ(SElapsed, 0) << "End with no game in progress";
    {
        HeldKeys held({KEY_HOME});
        Ticks(1);
    }
    MiniGames::MiniGame* game = Run->Manager->CurGame;
    {
        HeldKeys held({KEY_HOME, KEY_TAB});
        Ticks(3);
    }
    EXPECT_EQ(Run->Manager->CurGame, game) << "Home and Tab during a game";
}

TEST_F(RunTest, PenaltyWithFewerThanThirtySecondsLeftLosesShowingTheNegativeTime) {
    SElapsed = 366 - 16;
    Run->InGame = true;
    HeldKeys held({KEY_END});
    Ticks(1);
    EXPECT_TRUE(Run->Finished);
    EXPECT_FALSE(Run->Won);
    EXPECT_TRUE(StatusLineShows(1, "Time Left: 0:-14"));
}

TEST_F(RunTest, AWonGameTakesHalfItsWorthRoundedTowardZero) {
    QuickMathAboutToBeWon();
    Ticks(1);
    EXPECT_FALSE(Run->InGame);
    EXPECT_EQ(Run->Train.Speed, 75 - 12);
    EXPECT_TRUE(StatusLineShows(2, "Speed: 126 MPH")) << "25 MPH of worth shows as 24";
}

TEST_F(RunTest, AWinLargerThanTheSpeedLeftDrivesItNegativeAndWins) {
    Run->Train.Speed = 5;
    QuickMathAboutToBeWon();
    Ticks(1);
    EXPECT_TRUE(Run->Finished);
    EXPECT_TRUE(Run->Won);
    EXPECT_TRUE(StatusLineShows(2, "Speed: -14 MPH"));
}

TEST_F(RunTest, HelpStopsTheClockFromTheNextTickUntilAKeyCloses) {
    {
        HeldKeys held({KEY_HOME});
        Ticks(1);
    }
    {
        HeldKeys held({KEY_F1});
        Ticks(1);
        EXPECT_TRUE(Run->Manager->ShowHelp);
        EXPECT_TRUE(TimerActive) << "the clock stops from the tick after F1";
        Ticks(1);
        EXPECT_FALSE(TimerActive);
    }
    Ticks(20);
    EXPECT_FALSE(TimerActive) << "help stays up after F1 is released";
    TestSupport::TypeKey(KEY_SPACE, ' ');
    Ticks(1);
    EXPECT_FALSE(Run->Manager->ShowHelp);
    Ticks(1);
    EXPECT_TRUE(TimerActive);
}

bool ClockRanDuringMenu = false;
void NoteClock() { ClockRanDuringMenu = ClockRanDuringMenu || TimerActive; }

TEST_F(RunTest, TabPausesTheClockAndStartsTheChosenGame) {
    ClockRanDuringMenu = false;
    {
        TestSupport::Typist typist(
            &GameTime,
            TestSupport::OneKeyPerTick({KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER}),
            NoteClock);
        HeldKeys held({KEY_TAB});
        Ticks(1);
        EXPECT_FALSE(typist.FellBack());
    }
    EXPECT_FALSE(ClockRanDuringMenu);
    EXPECT_TRUE(TimerActive);
    EXPECT_TRUE(Run->InGame);
    ASSERT_TRUE(Run->Manager->CurInfo);
    EXPECT_EQ(Run->Manager->CurInfo->Name, "Quick Math - Worth 25 MPH");
    EXPECT_LE(GameTime, 0) << "the menu works off the ticks that passed while it was open";
}

TEST_F(RunTest, FrameShowsTheGameInsteadOfTheTrainWhileInGame) {
    const int grey = makecol(128, 128, 128);
    Run->ComposeFrame();
    EXPECT_TRUE(TestSupport::AnyPixel(Run->Buffer, 250, 50, 799, 169, grey));
    {
        HeldKeys held({KEY_HOME});
        Ticks(1);
    }
    Run->ComposeFrame();
    EXPECT_FALSE(TestSupport::AnyPixel(Run->Buffer, 250, 50, 799, 169, grey));
    EXPECT_TRUE(TestSupport::TextAt(Run->Buffer, 0, 0, "Mini Game: ", makecol(255, 255, 255)));
}

}  // namespace
