// The built game ended from outside, as a desktop session or a terminal ends a program: by a
// termination signal on any screen, or by losing its display. It must be gone within 2 s, by
// that signal (or with status 1 and one line for the display), never by SIGABRT or a hang, and
// with no sanitizer's report.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <string>

#include "tests/robust/screen.h"
#include "tests/support/xserver.h"

namespace {

using TestSupport::SleepMs;

const int Deadline = 2000;  // ms from the signal to the end of the process

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
        ASSERT_TRUE(Process->Wait(Deadline)) << "still running 2 s after " << strsignal(sig);
        EXPECT_EQ(Process->ExitCode, 128 + sig)
            << "ended by " << Process->ExitCode << " instead of " << strsignal(sig) << "\n"
            << Process->Errors();
        EXPECT_FALSE(Robust::SanitizerReported(Process->Errors())) << Process->Errors();
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
        EXPECT_EQ(run.Process->ExitCode, 1) << run.Process->Errors();
        EXPECT_EQ(run.Process->Errors(), "Haltwick: lost the connection to the display\n");
    }
}

}  // namespace
