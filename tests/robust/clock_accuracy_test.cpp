// The countdown of the built game against the monotonic wall clock over half a minute, read
// from its window while its main loop draws flat out: once as it is, once pinned to one core
// with the other core kept busy. Both ends are taken where the shown second changes, so the
// display's lag cancels out and each reading is good to a few milliseconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/robust/screen.h"
#include "tests/support/xserver.h"

namespace {

using TestSupport::NowMs;

// Waits for the shown countdown to change and sets *when to the wall time of the first reading
// that showed the new value. A change seen only after a slow reading (a busy machine can stall
// the reader too) is not pinned down well enough, so the next one is taken instead.
::testing::AssertionResult NextSecond(Robust::Screen& screen, int* left, double* when) {
    int was = 0;
    bool known = screen.TimeLeft(&was);
    double last = NowMs();
    std::string seen;
    for (double end = last + 10000; NowMs() < end;) {
        double t = NowMs();
        int now;
        bool read = screen.TimeLeft(&now);
        seen += " " + (read ? std::to_string(now) : "?") + "@" + std::to_string(int(t - last));
        if (read && known && now != was && t - last < 100) {
            *left = now;
            *when = t;
            return ::testing::AssertionSuccess();
        }
        if (read) {
            known = true;
            was = now;
        }
        last = t;
    }
    return ::testing::AssertionFailure() << "no change in 10 s; seconds left @ ms since the "
                                            "previous reading:" << seen.substr(0, 2000);
}

// Where the countdown would show zero, in wall milliseconds, from the next three changes of the
// shown second: the median, so that one late frame on a busy machine cannot move it.
::testing::AssertionResult ZeroAt(Robust::Screen& screen, double* zero, int* left) {
    std::vector<double> zeros;
    for (int i = 0; i < 3; ++i) {
        double when = 0;
        auto changed = NextSecond(screen, left, &when);
        if (!changed)
            return changed;
        zeros.push_back(when + 1000.0 * *left);
    }
    std::sort(zeros.begin(), zeros.end());
    *zero = zeros[1];
    return ::testing::AssertionSuccess();
}

// The game's clock, read at both ends of at least 30 wall seconds, has not drifted from the
// wall clock by more than a second.
void ExpectAccurateClock(const std::vector<std::string>& command) {
    TestSupport::XServer server;
    ASSERT_FALSE(server.Display.empty());
    TestSupport::GameProcess game(command, server.Display);
    Robust::Screen screen(server.Display);
    ASSERT_TRUE(screen.Find("Haltwick", 20000)) << game.Errors();

    double zero0, zero1;
    int left0, left1;
    ASSERT_TRUE(ZeroAt(screen, &zero0, &left0));
    double t0 = NowMs();
    TestSupport::SleepMs(30000);
    ASSERT_TRUE(ZeroAt(screen, &zero1, &left1));
    double wall = (NowMs() - t0) / 1000;
    double drift = (zero1 - zero0) / 1000;
    std::printf("%d game seconds in %.3f wall seconds; drift %.3f s\n", left0 - left1, wall, drift);
    EXPECT_LE(std::fabs(drift), 1.0) << left0 - left1 << " game seconds in " << wall << " s";
    EXPECT_TRUE(game.Running()) << game.Errors();
}

TEST(ClockAccuracy, KeepsWallTimeWhileTheLoopDrawsFlatOut) {
    ExpectAccurateClock({Robust::GamePath()});
}

TEST(ClockAccuracy, KeepsWallTimeWithTheOtherCoreLoaded) {
    // The game and its timer thread share core 0; a busy loop holds the last core.
    int last = static_cast<int>(std::thread::hardware_concurrency()) - 1;
    TestSupport::GameProcess busy(
        {"taskset", "-c", std::to_string(last), "sh", "-c", "while :; do :; done"}, "");
    ExpectAccurateClock({"taskset", "-c", "0", Robust::GamePath()});
}

}  // namespace
