// The countdown of the built game against the monotonic wall clock over half a minute, read
// from its window while its main loop draws flat out: once as it is, once pinned to one core
// with the other core kept busy. Both ends are taken where the shown second changes, so the
// display's lag cancels out and the reading is good to a few milliseconds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/robust/driver.h"
#include "tests/support/xserver.h"

namespace {

using Robust::NowMs;

// Waits for the shown countdown to change; *when is the wall time of the first reading that
// showed the new value.
bool NextSecond(Robust::Screen& screen, int* left, double* when) {
    int was;
    if (!screen.TimeLeft(&was))
        return false;
    double end = NowMs() + 3000;
    while (NowMs() < end) {
        double t = NowMs();
        if (screen.TimeLeft(left) && *left != was) {
            *when = t;
            return true;
        }
    }
    return false;
}

// Game seconds counted in at least 30 wall seconds, minus the wall seconds.
void ExpectAccurateClock(const std::vector<std::string>& command) {
    TestSupport::XServer server;
    ASSERT_FALSE(server.Display.empty());
    Robust::Process game(command, server.Display);
    Robust::Screen screen(server.Display);
    ASSERT_TRUE(screen.Find(20000)) << game.Errors();

    int start, end;
    double t0, t1;
    ASSERT_TRUE(NextSecond(screen, &start, &t0)) << screen.StatusLine(1);
    Robust::SleepMs(29800);
    ASSERT_TRUE(NextSecond(screen, &end, &t1)) << screen.StatusLine(1);
    double wall = (t1 - t0) / 1000;
    int counted = start - end;
    std::printf("%d game seconds in %.3f wall seconds\n", counted, wall);
    EXPECT_GE(wall, 30.0);
    EXPECT_LE(std::fabs(counted - wall), 1.0) << counted << " game seconds in " << wall << " s";
    EXPECT_TRUE(game.Running()) << game.Errors();
}

TEST(ClockAccuracy, KeepsWallTimeWhileTheLoopDrawsFlatOut) {
    ExpectAccurateClock({Robust::GamePath});
}

TEST(ClockAccuracy, KeepsWallTimeWithTheOtherCoreLoaded) {
    // The game and its timer thread share core 0; a busy loop holds the last core.
    int last = static_cast<int>(std::thread::hardware_concurrency()) - 1;
    Robust::Process busy({"taskset", "-c", std::to_string(last), "sh", "-c", "while :; do :; done"},
                         "");
    ExpectAccurateClock({"taskset", "-c", "0", Robust::GamePath});
}

}  // namespace
