// The built game ended from outside, as a desktop session or a terminal ends a program: by a
// termination signal at any moment from its first milliseconds on and on any screen, or by
// losing its display. It must be gone within 2 s, by that signal and saying nothing (or with
// status 1 and one line for the display), never by SIGABRT or a hang. Signals it started with
// ignored, as under nohup, must leave it playing.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/robust/screen.h"
#include "tests/support/xserver.h"

namespace {

using TestSupport::SleepMs;

const int Deadline = 2000;  // ms from the signal to the end of the process

// The library's own handler, which says so on standard error, must never have run.
void ExpectEndedBy(TestSupport::GameProcess& game, int sig) {
    ASSERT_TRUE(game.Wait(Deadline)) << "still running 2 s after " << strsignal(sig);
    EXPECT_EQ(game.EndSignal, sig) << "ended by " << game.Ending() << " instead of "
                                   << strsignal(sig) << "\n" << game.Errors();
    EXPECT_EQ(game.Errors(), "");
}

// One game on its main screen, on a server of its own.
struct Game {
    TestSupport::XServer Server;
    std::unique_ptr<TestSupport::GameProcess> Process;
    std::unique_ptr<Robust::Screen> Screen;

    bool Start() {
        if (Server.Display.empty())
            return false;
        Process = std::make_unique<TestSupport::GameProcess>(
            TestSupport::GameCommand(Robust::GamePath()), Server.Display);
        Screen = std::make_unique<Robust::Screen>(Server.Display);
        return Screen->Find("Haltwick", 20000) &&
               TestSupport::WaitFor([&] { return Screen->StatusLine(2) == "Speed: 150 MPH"; },
                                    10000);
    }

    void ExpectEndsBy(int sig) {
        Process->Signal(sig);
        ExpectEndedBy(*Process, sig);
    }
};

TEST(Ending, TerminationSignalsEndTheGameByThatSignalWhileItDrawsFlatOut) {
    // SIGQUIT dumps core by default: not here.
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const int signals[] = {SIGTERM, SIGTERM, SIGTERM, SIGINT, SIGINT, SIGHUP, SIGQUIT};
    int moment = 0;
    for (int sig : signals) {
        SCOPED_TRACE(strsignal(sig));
        Game run;
        ASSERT_TRUE(run.Start()) << "no main screen";
        // The main screen draws a thousand frames a second or more, in the library's lock most
        // of the time; the signal comes at a different moment in each run.
        SleepMs(100 + 137 * moment++);
        run.ExpectEndsBy(sig);
    }
}

TEST(Ending, TerminationSignalsEndTheGameByThatSignalAsItStarts) {
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    TestSupport::XServer server;
    ASSERT_FALSE(server.Display.empty());
    // Loading, the library starting and the window opening take these first milliseconds.
    std::vector<std::pair<int, int>> moments;  // ms after the start, signal
    for (int ms = 0; ms < 50; ms += 5)
        moments.push_back({ms, SIGTERM});
    for (auto [ms, sig] : {std::pair{15, SIGINT}, {25, SIGHUP}, {35, SIGQUIT}})
        moments.push_back({ms, sig});
    for (auto [ms, sig] : moments) {
        SCOPED_TRACE(std::to_string(ms) + " ms, " + strsignal(sig));
        TestSupport::GameProcess game(TestSupport::GameCommand(Robust::GamePath()),
                                      server.Display);
        SleepMs(ms);
        game.Signal(sig);
        ExpectEndedBy(game, sig);
    }
}

TEST(Ending, SignalsIgnoredAtTheStartLeaveTheGamePlaying) {
    // SIGHUP as nohup leaves it, SIGINT and SIGQUIT as a script's background job has them.
    const int ignored[] = {SIGHUP, SIGINT, SIGQUIT};
    TestSupport::XServer server;
    ASSERT_FALSE(server.Display.empty());
    TestSupport::GameProcess game(TestSupport::GameCommand(Robust::GamePath()), server.Display,
                                  {std::begin(ignored), std::end(ignored)});
    // As it starts, then on its main screen.
    for (int sig : ignored) {
        SleepMs(15);
        game.Signal(sig);
    }
    Robust::Screen screen(server.Display);
    ASSERT_TRUE(screen.Find("Haltwick", 20000)) << game.Ending() << "\n" << game.Errors();
    ASSERT_TRUE(TestSupport::WaitFor(
        [&] { return screen.StatusLine(2) == "Speed: 150 MPH"; }, 10000));
    for (int sig : ignored) {
        SCOPED_TRACE(strsignal(sig));
        game.Signal(sig);
        SleepMs(300);
        ASSERT_TRUE(game.Running()) << "ended by " << game.Ending() << "\n" << game.Errors();
    }
    int before, after;
    ASSERT_TRUE(screen.TimeLeft(&before)) << screen.StatusLine(1);
    EXPECT_TRUE(TestSupport::WaitFor([&] { return screen.TimeLeft(&after) && after < before; },
                                     3000))
        << "the countdown stands at " << before << " s";
    ASSERT_TRUE(screen.Quit(game, 10000)) << game.Errors();
    EXPECT_EQ(game.ExitCode, 0) << game.Ending();
    EXPECT_EQ(game.Errors(), "");
}

TEST(Ending, SigtermEndsTheChooserMenuAndTheWaitingEndScreen) {
    {
        Game run;
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.Screen->HoldUntil(
            XK_Tab, [&] { return run.Screen->Shows(15, 15, "--> Alphabet"); }, 5000))
            << "no chooser menu";
        run.ExpectEndsBy(SIGTERM);
    }
    {
        Game run;
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.Screen->HoldUntil(
            XK_Escape, [&] { return run.Screen->ShowsEndScreen(); }, 5000))
            << "no end screen";
        SleepMs(300);  // past its first moments, waiting for a key
        run.ExpectEndsBy(SIGTERM);
    }
}

TEST(Ending, LostDisplayEndsTheGameAtOnceWithStatusOneAndOneLine) {
    for (int i = 0; i < 2; ++i) {
        Game run;
        ASSERT_TRUE(run.Start());
        SleepMs(200 + 300 * i);
        run.Screen.reset();  // the test's own connection would die with the server too
        run.Server.Stop();
        ASSERT_TRUE(run.Process->Wait(Deadline)) << "still running 2 s after the display went";
        EXPECT_EQ(run.Process->ExitCode, 1)
            << run.Process->Ending() << "\n" << run.Process->Errors();
        EXPECT_EQ(run.Process->Errors(), "Haltwick: lost the connection to the display\n");
    }
}

}  // namespace
