#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "shell/clock.h"
#include "tests/support/clockreset.h"

namespace {

class ClockTest : public testing::Test {
protected:
    void SetUp() override { TestSupport::ResetClock(); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            GameTimer();
    }
};

TEST_F(ClockTest, CountsOneGameSecondPerHundredTicksWhileActive) {
    TimerActive = true;
    Ticks(99);
    EXPECT_EQ(SElapsed, 0);
    EXPECT_EQ(SecTrack, 99);
    Ticks(1);
    EXPECT_EQ(SElapsed, 1);
    EXPECT_EQ(SecTrack, 0);
    Ticks(250);
    EXPECT_EQ(SElapsed, 3);
    EXPECT_EQ(GameTime, 350) << "every tick is left pending for the main loop";
}

TEST_F(ClockTest, PauseWithholdsExactlyTheBoundariesItSpans) {
    struct Case {
        int before, paused, after;  // ticks
        int withheld;               // seconds
    } cases[] = {
        {10, 50, 40, 0},    // a short pause inside one second costs nothing
        {50, 60, 90, 1},    // spans the boundary at tick 100
        {99, 1, 100, 1},    // paused exactly at the boundary
        {30, 280, 20, 3},   // boundaries at 100, 200 and 300 fall inside
    };
    for (const Case& c : cases) {
        TestSupport::ResetClock();
        TimerActive = true;
        Ticks(c.before);
        TimerActive = false;
        Ticks(c.paused);
        TimerActive = true;
        Ticks(c.after);
        int total = c.before + c.paused + c.after;
        EXPECT_EQ(SElapsed, total / 100 - c.withheld)
            << "pause of " << c.paused << " ticks after " << c.before;
    }
}

TEST_F(ClockTest, UnfocusedWindowStopsEveryCountAndPlayResumesFromTheSameTick) {
    TimerActive = true;
    Ticks(150);
    GameTime = 0;
    FocusPaused = true;
    Ticks(1000);
    EXPECT_EQ(GameTime, 0) << "no ticks pile up to be caught up in a burst";
    EXPECT_EQ(SElapsed, 1);
    EXPECT_EQ(SecTrack, 50);
    FocusPaused = false;
    Ticks(50);
    EXPECT_EQ(SElapsed, 2) << "the second under way when the focus left ends 50 ticks later";
    EXPECT_EQ(GameTime, 50);
}

TEST_F(ClockTest, FrameCountHandedOverAtEachBoundaryEvenWhilePaused) {
    CurFPS = 37;
    Ticks(99);
    EXPECT_EQ(FPS, 0) << "reads 0 until the first boundary";
    Ticks(1);
    EXPECT_EQ(FPS, 37);
    EXPECT_EQ(CurFPS, 0);
    Ticks(100);
    EXPECT_EQ(FPS, 0) << "a second with no frame copied shows 0";
}

TEST_F(ClockTest, NoTickFrameOrPenaltyLostAgainstAConcurrentMainLoop) {
    // The timer thread and the main loop race on GameTime, CurFPS and SElapsed; every update
    // must land. The timer side sums what each boundary hands over into FPS.
    TimerActive = true;
    const int ticks = 200000;
    const int frames = 150000;
    const int penalties = 500;
    std::atomic<bool> go{false};
    long handedOver = 0;
    std::thread timer([&] {
        while (!go) {
        }
        for (int i = 0; i < ticks; ++i) {
            GameTimer();
            if (SecTrack == 0)
                handedOver += FPS;
        }
    });
    go = true;
    for (int i = 0; i < frames; ++i) {
        GameTime--;
        CurFPS++;
        if (i % (frames / penalties) == 0)
            SElapsed += 30;
    }
    timer.join();
    EXPECT_EQ(GameTime, ticks - frames);
    EXPECT_EQ(handedOver + CurFPS, frames);
    EXPECT_EQ(SElapsed, ticks / 100 + 30 * penalties);
}

}  // namespace
