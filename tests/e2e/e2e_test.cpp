// The built game in a real window on a private X server, driven with real key events and judged
// only by what its window shows, its standard output and its exit status.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/window/process.h"
#include "tests/support/window/window.h"
#include "tests/support/xserver.h"

// After gtest, whose names Xlib's macros (None, Bool) would take.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace TestSupport;

namespace {

std::string GamePath;
std::string ShotDir;  // set from HALTWICK_SHOTS: screens are saved there as PPM

const int Patience = 5000;  // ms for the game to show the effect of a key
// Title line, status lines, menu and the mini-games' first lines: a small grab, polled fast.
const Rect TopBand{0, 0, 800, 56};
const Rect UpToEndBox{0, 0, 800, 320};

const std::string WinMessage = "Congratulations! You have stopped the train! You win!";
const std::string LoseMessage = "Aww! You did not stop the train! You lose!";
const std::string HelpLastLine = "Press any key (except F1 or Escape) to continue...";

// The games in the chooser menu's order.
struct GameData {
    std::string Name;
    int Worth;  // MPH; a win takes off half of it, rounded down, in units of 2 MPH
    std::string Title() const { return Name + " - Worth " + std::to_string(Worth) + " MPH"; }
    int Drop() const { return Worth / 2 * 2; }
};
const GameData Games[] = {{"Alphabet", 10},
                          {"Arrows", 10},
                          {"Cows and Bulls", 55},
                          {"Number Loop", 80},
                          {"Quick Math", 25}};

const GameData& Game(const std::string& name) {
    for (const GameData& g : Games)
        if (g.Name == name)
            return g;
    throw std::invalid_argument(name);
}

// One Xvfb per test process, shared by its tests and stopped at exit.
const std::string& XDisplay() {
    static const TestSupport::XServer server(24, TestSupport::Desktop::FromEnvironment());
    return server.Display;
}

// The scale the game should pick on the suite's desktop: its Xft.dpi / 96, rounded.
int DesktopScale() {
    int dpi = Desktop::FromEnvironment().Dpi;
    return dpi > 0 ? std::max(1, (dpi + 48) / 96) : 1;
}

// Wine names and decorates the Windows build's window itself.
bool WindowsBuild() { return GamePath.size() > 4 && GamePath.substr(GamePath.size() - 4) == ".exe"; }

std::string Trim(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

// n cells from (x, y), by default to the right edge, without the trailing blanks.
std::string Line(const Image& img, int x, int y, Rgb c = White, int n = -1) {
    return Trim(ReadAt(img, x, y, c, n < 0 ? (800 - x) / 8 : n));
}

bool Matches(const std::string& s, const std::string& pattern, std::smatch* m = nullptr) {
    std::smatch local;
    return std::regex_match(s, m ? *m : local, std::regex(pattern));
}

// "Time Left: m:ss" in seconds, INT_MIN when unreadable. A negative remainder reads 0:-14.
int TimeLeft(const Image& img) {
    std::smatch m;
    std::string s = StatusLine(img, 1);
    if (!Matches(s, R"(Time Left: (-?\d+):(-?\d+))", &m))
        return INT_MIN;
    return std::stoi(m[1]) * 60 + std::stoi(m[2]);
}

int SpeedMph(const Image& img) {
    std::smatch m;
    std::string s = StatusLine(img, 2);
    return Matches(s, R"(Speed: (-?\d+) MPH)", &m) ? std::stoi(m[1]) : INT_MIN;
}

bool OnMainScreen(const Image& img) { return Line(img, 0, 270, White, 6) == "ALERT!"; }

// The line under the status lines while the window is without the focus.
bool ShowsPaused(const Image& img) { return Line(img, 752, 24, White, 6) == "Paused"; }

bool ShowsGame(const Image& img, const GameData& g) {
    std::string title = "Mini Game: " + g.Title();
    return Line(img, 0, 0, White, title.size()) == title;
}

// The end screen's box spans the winning message's width around x = 400; outside it is mosaic.
const int EndBoxHalf = 8 * WinMessage.size() / 2;

bool ShowsHelp(const Image& img, const GameData& g) {
    return Line(img, 100, 100) == "Help for " + g.Title();
}

bool ShowsEnd(const Image& img, const std::string& message) {
    return Read(img, 292, White, 400 - EndBoxHalf, 400 + EndBoxHalf).Str == message;
}

// The selected line of the chooser menu, -1 when the menu is not on screen.
int MenuSelection(const Image& img) {
    int selected = -1;
    for (int i = 0; i < 5; ++i) {
        std::string line = Line(img, 15, 15 + 8 * i);
        if (line == "--> " + Games[i].Title())
            selected = i;
        else if (line != "   " + Games[i].Title())
            return -1;
    }
    return selected;
}

void Shot(const Image& img, const std::string& name) {
    if (!ShotDir.empty()) {
        EXPECT_TRUE(img.SavePpm(ShotDir + "/" + name + ".ppm")) << name;
    }
}

// A fresh game in its window, on its main screen.
class Haltwick : public testing::Test {
public:
    std::unique_ptr<GameProcess> Proc;
    std::unique_ptr<GameWindow> Win;
    Image First;  // the first main-screen frame seen

    // Stops the test when the game does not come up, rather than letting every later check
    // fail on a window that is not there.
    // env: NAME=value words the game starts with.
    void Start(const std::string& display = XDisplay(), const std::vector<std::string>& env = {}) {
        if (display.empty())
            StartFailed("Xvfb did not start");
        std::vector<std::string> command = GameCommand(GamePath);
        if (!env.empty()) {
            command.insert(command.begin(), env.begin(), env.end());
            command.insert(command.begin(), "env");
        }
        Proc = std::make_unique<GameProcess>(command, display);
        Win = std::make_unique<GameWindow>(display);
        // Wine on a busy machine can take most of 10 s to show it.
        if (!Win->Find("Haltwick", 20000))
            StartFailed("no window titled Haltwick");
        if (!Win->WaitFor(OnMainScreen, Patience, &First))
            StartFailed("no main screen");
    }

    [[noreturn]] void StartFailed(const std::string& why) {
        if (Proc && !Proc->Running())
            ADD_FAILURE() << why << ": the game ended, " << Proc->Ending() << ", saying "
                          << Proc->Errors();
        else
            ADD_FAILURE() << why;
        throw std::runtime_error("the game did not start");
    }

    Image Screen() { return Win->Grab(); }

    Image Await(const std::function<bool(const Image&)>& pred, const std::string& what,
                Rect r = Rect{}) {
        Image img;
        if (!Win->WaitFor(pred, Patience, &img, r)) {
            ADD_FAILURE() << "timed out waiting for " << what;
            Shot(img, "failed");
        }
        return img;
    }

    // Holds a key the game tests as held until its effect shows. A main loop busy with a
    // frame for the whole hold can miss it, so the press is repeated a few times.
    Image HoldFor(unsigned long keysym, const std::function<bool(const Image&)>& pred,
                  const std::string& what) {
        Image img;
        for (int tries = 0; tries < 3; ++tries) {
            Win->Hold(keysym);
            if (Win->WaitFor(pred, 1500, &img))
                return img;
        }
        ADD_FAILURE() << "no " << what << " after holding the key";
        Shot(img, "failed");
        return img;
    }

    // Tab, then Down presses to the game's line, then Enter.
    Image OpenGame(const GameData& g, const std::function<void(const Image&)>& onMenu = nullptr) {
        Image menu = HoldFor(
            XK_Tab, [](const Image& i) { return MenuSelection(i) == 0; }, "menu");
        if (onMenu)
            onMenu(menu);
        int index = &g - Games;
        for (int i = 0; i < index; ++i)
            Win->Tap(XK_Down);
        Await([&](const Image& i) { return MenuSelection(i) == index; }, "menu line " + g.Name,
              TopBand);
        Win->Tap(XK_Return);
        return Await([&](const Image& i) { return ShowsGame(i, g); }, g.Name, TopBand);
    }

    Image AbandonGame() { return HoldFor(XK_End, OnMainScreen, "main screen after End"); }

    // Cows and Bulls: types guess n (less its first `typed` digits) and reads the newest history
    // row, "Guess n: gggg   Cows: c  Bulls: b". Returns {c, b}; {-1, -1} when the guess won and
    // the main screen is back; {-2, -2} (and a failure) when neither shows.
    std::pair<int, int> Score(int n, const std::string& guess, size_t typed = 0,
                              Image* shown = nullptr) {
        Win->Type(guess.substr(typed));
        std::string row = "Guess " + std::to_string(n) + ": " + guess;
        Image img = Await(
            [&](const Image& i) { return Line(i, 40, 90).rfind(row, 0) == 0 || OnMainScreen(i); },
            row);
        if (shown)
            *shown = img;
        if (OnMainScreen(img))
            return {-1, -1};
        std::smatch m;
        std::string line = Line(img, 40, 90);
        if (!Matches(line, row + R"(   Cows: (\d)  Bulls: (\d))", &m)) {
            ADD_FAILURE() << "history row: " << line;
            return {-2, -2};
        }
        return {std::stoi(m[1]), std::stoi(m[2])};
    }

    // Keys pressed in the end screen's first 200 ms are thrown away: press until it exits.
    void ExpectCleanExit() {
        for (int i = 0; i < 20 && !Proc->Wait(250); ++i)
            Win->Tap(XK_space);
        ASSERT_TRUE(Proc->Wait(0)) << "still running after the end screen";
        EXPECT_EQ(Proc->ExitCode, 0);
    }
};

void ExpectEndScreen(const Image& img, const std::string& message) {
    int x0 = 400 - EndBoxHalf, x1 = 400 + EndBoxHalf;
    int area = (x1 - x0 + 1) * (316 - 284 + 1);
    EXPECT_EQ(img.Count(x0, 284, x1, 316, LightBlue) + img.Count(x0, 284, x1, 316, White), area);
    EXPECT_GT(img.Count(x0, 284, x1, 316, LightBlue), area / 2);
    EXPECT_EQ(img.Count(x0 - 1, 284, x0 - 1, 316, LightBlue), 0) << "box wider on the left";
    EXPECT_EQ(img.Count(x1 + 1, 284, x1 + 1, 316, LightBlue), 0) << "box wider on the right";
    EXPECT_EQ(img.Count(x0, 283, x1, 283, LightBlue), 0) << "box higher";
    EXPECT_EQ(img.Count(x0, 317, x1, 317, LightBlue), 0) << "box lower";
    struct Centred {
        int Y;
        std::string Str;
    };
    for (const Centred& c : {Centred{292, message}, Centred{308, "Press any key to exit."}}) {
        Text t = Read(img, c.Y, White, x0, x1 + 1);
        EXPECT_EQ(t.Str, c.Str);
        EXPECT_EQ(t.X, 400 - 4 * (int)c.Str.size()) << c.Str << " not centred";
    }
}

class Rules : public Haltwick {};
class Screens : public Haltwick {};

// ---- Rules of a run -------------------------------------------------------------------------

TEST_F(Rules, NoDisplayExitsWith255AndPrintsNothing) {
    // A display number nobody serves.
    int n = 90;
    struct stat st;
    while (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) == 0 ||
           stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) == 0)
        ++n;
    GameProcess proc(GameCommand(GamePath), ":" + std::to_string(n));
    ASSERT_TRUE(proc.Wait(15000)) << "still running without a display";
    EXPECT_EQ(proc.ExitCode, 255);
    EXPECT_EQ(proc.Output(), "");
    EXPECT_EQ(proc.Errors(), "");
}

TEST_F(Rules, CtrlDownHeldStopsTheTrainAndWins) {
    Start();
    Win->Key(XK_Control_L, true);
    Win->Key(XK_Down, true);
    Image end = Await([](const Image& i) { return ShowsEnd(i, WinMessage); }, "win message");
    Win->Key(XK_Down, false);
    Win->Key(XK_Control_L, false);
    ExpectEndScreen(end, WinMessage);
    Shot(end, "end-win");
    ExpectCleanExit();
}

TEST_F(Rules, EscapeLoses) {
    Start();
    Image end = HoldFor(
        XK_Escape, [](const Image& i) { return ShowsEnd(i, LoseMessage); }, "lose message");
    ExpectEndScreen(end, LoseMessage);
    Shot(end, "end-lose");
    ExpectCleanExit();
}

// Whole seconds of wall time since start, rounded up: the most the game clock can have counted
// besides a second already under way.
int SecondsSince(std::chrono::steady_clock::time_point start) {
    std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    return (int)std::ceil(d.count());
}

TEST_F(Rules, EndDuringAGameCostsThirtySeconds) {
    Start();
    Image game = HoldFor(
        XK_Home, [](const Image& i) { return Line(i, 0, 0, White, 10) == "Mini Game:"; },
        "mini-game after Home");
    auto start = std::chrono::steady_clock::now();
    int before = TimeLeft(game);
    int after = TimeLeft(AbandonGame());
    EXPECT_GE(before - after, 30);
    EXPECT_LE(before - after, 30 + SecondsSince(start)) << "more than the penalty";
}

TEST_F(Rules, CountdownStandsStillInMenuAndHelpAndRunsOtherwise) {
    Start();
    auto start = std::chrono::steady_clock::now();
    int beforeMenu = TimeLeft(Screen());
    const GameData& alphabet = Game("Alphabet");
    Image game = OpenGame(alphabet, [](const Image&) { SleepMs(3000); });
    EXPECT_LE(beforeMenu - TimeLeft(game), SecondsSince(start) - 3)
        << "the clock ran while the menu was up";

    HoldFor(
        XK_F1, [&](const Image& i) { return ShowsHelp(i, alphabet); }, "help");
    SleepMs(100);  // the clock stops from the tick after the help opened
    int helpStart = TimeLeft(Screen());
    SleepMs(3000);
    EXPECT_EQ(TimeLeft(Screen()), helpStart) << "the clock ran while the help was up";

    Win->Tap(XK_space);
    Await([&](const Image& i) { return ShowsGame(i, alphabet) && Line(i, 100, 100) == ""; },
          "help closed");
    int running = TimeLeft(Screen());
    SleepMs(10000);
    int fallen = running - TimeLeft(Screen());
    EXPECT_GE(fallen, 9);
    EXPECT_LE(fallen, 11);
}

// ---- The desktop around the window ----------------------------------------------------------

TEST_F(Rules, CloseRequestQuitsAtOnceFromEveryScreen) {
    const char* screens[] = {"main screen", "mini-game", "chooser menu", "end screen"};
    for (const char* where : screens) {
        SCOPED_TRACE(where);
        Start();
        if (HasFatalFailure())
            return;
        std::string name = where;
        if (name == "mini-game")
            OpenGame(Game("Cows and Bulls"));
        else if (name == "chooser menu")
            HoldFor(
                XK_Tab, [](const Image& i) { return MenuSelection(i) == 0; }, "menu");
        else if (name == "end screen")
            HoldFor(
                XK_Escape, [](const Image& i) { return ShowsEnd(i, LoseMessage); }, "end screen");
        auto start = std::chrono::steady_clock::now();
        Win->RequestClose();
        ASSERT_TRUE(Proc->Wait(3000)) << "still running 3 s after the close request";
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::cout << "[ close    ] from the " << where << ": " << took.count() << " ms\n";
        EXPECT_EQ(Proc->ExitCode, 0);
    }
}

// The system may end the process once its window has answered the end of the session. Number
// Loop's dump of its goal waits in the game's output buffer, which only the game's own exit
// writes out.
TEST_F(Rules, EndOfTheWindowsSessionLeavesThroughTheGamesOwnExit) {
    if (!WindowsBuild())
        GTEST_SKIP() << "Windows only: X11 sessions end a program by a signal (robust suite)";
    Start();
    OpenGame(Game("Number Loop"));
    // The loop reads a key a tick, so the turn shows once the dump is made.
    std::string top = Read(Screen(), 68, White).Str;
    Win->Tap(XK_z);
    Win->Tap(XK_Left);
    Await([&](const Image& i) { return Read(i, 68, White).Str != top; }, "the turn");
    auto start = std::chrono::steady_clock::now();
    // The suite runs in a Wine prefix of its own, which this ends as a logout would.
    ASSERT_EQ(std::system(("DISPLAY=" + XDisplay() + " wineboot --end-session").c_str()), 0);
    // Windows, like wineboot, asks the player about a program still busy 5 s on.
    ASSERT_TRUE(Proc->Wait(5000)) << "still running 5 s after the end of the session";
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::cout << "[ session  ] ended in " << took.count() << " ms\n";
    EXPECT_EQ(Proc->ExitCode, 0);
    const std::string goal = R"(if\(Num == 0 (&& Board\[\(Pos \+ \d+\) % 20\] == \d+ ){20}\))";
    EXPECT_TRUE(Matches(Proc->Output(), goal))
        << "the output made before the end of the session is lost: " << Proc->Output();
}

// Windows sends a key's press and then its release to another window (a secure desktop, a
// lock screen, the title bar being dragged), without taking the focus away.
TEST_F(Rules, AKeyWhoseReleaseWentElsewhereIsNotHeldAndPressesAgain) {
    const char* poster = std::getenv("HALTWICK_KEY_POSTER");
    if (!WindowsBuild() || !poster)
        GTEST_SKIP() << "Windows only, with HALTWICK_KEY_POSTER: X11 sends no lone press";
    auto postPress = [&](const std::string& key) {
        return std::system(("DISPLAY=" + XDisplay() + " " + poster + " " + key).c_str()) == 0;
    };
    Start();
    // Left Ctrl: Down alone must not slow the train, and the next real Ctrl+Down must.
    ASSERT_TRUE(postPress("0x11 0x1d"));
    Win->Key(XK_Down, true);
    SleepMs(1000);
    Win->Key(XK_Down, false);
    ASSERT_EQ(SpeedMph(Screen()), 150) << "Ctrl stayed down";
    Win->Key(XK_Control_L, true);
    Win->Key(XK_Down, true);
    Await([](const Image& i) { return SpeedMph(i) <= 140; }, "Ctrl+Down slowing the train");
    Win->Key(XK_Down, false);
    Win->Key(XK_Control_L, false);
    // Down in the menu: its next real press moves the selection again.
    HoldFor(
        XK_Tab, [](const Image& i) { return MenuSelection(i) == 0; }, "menu");
    ASSERT_TRUE(postPress("0x28 0x50 extended"));
    Await([](const Image& i) { return MenuSelection(i) == 1; }, "the posted Down", TopBand);
    Win->Tap(XK_Down);
    Await([](const Image& i) { return MenuSelection(i) == 2; }, "the next Down", TopBand);
}

TEST_F(Rules, WithoutTheFocusTheGamePausesIdlyAndLetsGoOfHeldKeys) {
    Start();
    // Ctrl+Down lowers the speed 2 MPH a tick: held across the switch, it would stop the train.
    Win->Key(XK_Control_L, true);
    Win->Key(XK_Down, true);
    Await([](const Image& i) { return SpeedMph(i) <= 140; }, "the train slowing");
    Win->FocusAway();
    Image paused = Await(ShowsPaused, "the Paused line");
    int speed = SpeedMph(paused);
    int left = TimeLeft(paused);
    double cpu = Proc->CpuSeconds();
    SleepMs(4000);
    cpu = (Proc->CpuSeconds() - cpu) / 4;
    std::cout << "[ paused   ] " << 100 * cpu << " % of a core\n";
    EXPECT_LT(cpu, 0.15) << "the paused game keeps a core busy";
    Win->Key(XK_Down, false);
    Win->Key(XK_Control_L, false);

    Win->FocusBack();
    Image back = Await([](const Image& i) { return !ShowsPaused(i); }, "play resumed");
    EXPECT_GE(TimeLeft(back), left - 1) << "the clock ran while the focus was away";
    SleepMs(2500);
    Image later = Screen();
    EXPECT_EQ(SpeedMph(later), speed) << "a key held as the focus left still acts";
    EXPECT_LE(TimeLeft(later), left - 1) << "the clock stands still after the focus returned";
    EXPECT_GE(TimeLeft(later), left - 4);

    // The library lets go by itself only of keys that a tick saw down. These are pressed as the
    // focus leaves, in the same request to the server, so no tick comes between. Windows' library
    // lets go of every key itself.
    if (WindowsBuild())
        return;
    Display* x = XOpenDisplay(XDisplay().c_str());
    ASSERT_TRUE(x);
    auto keys = [x](bool down) {
        for (KeySym k : {XK_Control_L, XK_Down})
            XTestFakeKeyEvent(x, XKeysymToKeycode(x, k), down, CurrentTime);
    };
    keys(true);
    XSetInputFocus(x, None, RevertToNone, CurrentTime);
    XSync(x, False);
    speed = SpeedMph(Await(ShowsPaused, "the Paused line again"));
    keys(false);
    XCloseDisplay(x);
    Win->FocusBack();
    Await([](const Image& i) { return !ShowsPaused(i); }, "play resumed again");
    SleepMs(1000);
    EXPECT_EQ(SpeedMph(Screen()), speed) << "a key pressed as the focus left still acts";
}

// ---- What each screen shows ------------------------------------------------------------------

TEST_F(Screens, MainScreenFollowsTheLayout) {
    Start();
    EXPECT_EQ(Win->Title(), "Haltwick");
    Rect window = Win->Geometry();
    EXPECT_EQ(window.W, 800 * DesktopScale());
    EXPECT_EQ(window.H, 600 * DesktopScale());
    if (!WindowsBuild()) {
        // Docks match the window to its desktop entry by class; the train is its icon.
        EXPECT_EQ(Win->Class(), "haltwick/Haltwick");
        std::vector<std::pair<int, int>> icons = Win->IconSizes();
        for (int side : {16, 32, 48, 64, 128})
            EXPECT_EQ(std::count(icons.begin(), icons.end(), std::make_pair(side, side)), 1)
                << side << " px";
    }
    EXPECT_EQ(TimeLeft(First), 366) << "the first frame does not show 6:06";
    EXPECT_EQ(SpeedMph(First), 150);
    Image img = Screen();
    Shot(img, "main");

    // Status lines end at the right edge.
    const char* statusPatterns[] = {R"(FPS: \d+)", R"(Time Left: \d:\d\d)", R"(Speed: \d+ MPH)"};
    for (int row = 0; row < 3; ++row) {
        Text t = Read(img, 8 * row, White, 400);
        EXPECT_TRUE(Matches(t.Str, statusPatterns[row])) << t.Str;
        EXPECT_EQ(t.X + 8 * (int)t.Str.size(), 800) << t.Str;
    }

    struct Row {
        int Y;
        Rgb Colour;
        std::string Str;
    };
    const Row intro[] = {
        {270, White,
         "ALERT! An elderly lady has FALLEN on your train. You have 6 minutes and 6 seconds to "
         "stop the train,"},
        {278, White,
         "before she falls out and dies. Play through the random mini-games to slow the train "
         "down until it"},
        {286, White,
         "slows to a stop. If you can stop the train in time, you save her and win! Good luck!"},
        {294, Yellow,
         "  You slow down for each mini-game won. To play a game hit Home. To exit the game, hit "
         "End. You are"},
        {302, Yellow,
         "  penalized for each game you end without finishing. You can choose a mini-game by "
         "hitting Tab."},
        {326, White,
         "To get help in a game press F1. The timer is stopped while you read the help screens."},
    };
    for (const Row& r : intro) {
        // 100 cells fit across the screen; a longer row runs off its right edge.
        EXPECT_EQ(Line(img, 0, r.Y, r.Colour), Trim(r.Str.substr(0, 100)));
    }

    // Title banner: six rows of font text, at most 75 cells wide.
    for (int y = 210; y <= 250; y += 8) {
        Text t = Read(img, y, White);
        EXPECT_FALSE(t.Str.empty()) << "banner row " << y;
        EXPECT_EQ(t.Str.find('?'), std::string::npos) << "banner row " << y << ": " << t.Str;
        EXPECT_LE(t.X + 8 * (int)t.Str.size(), 600) << "banner row " << y;
    }
    EXPECT_EQ(img.Count(0, 202, 799, 209, White) + img.Count(0, 258, 799, 269, White), 0);

    // The track: the repeating " - - +" unit, in brown, in its row only.
    std::string track = ReadAt(img, 0, 170, Brown, 100);
    const std::string unit = " - - +";
    bool repeats = false;
    for (int phase = 0; phase < 6 && !repeats; ++phase) {
        repeats = true;
        for (int i = 0; i < 100; ++i)
            repeats = repeats && track[i] == unit[(i + phase) % 6];
    }
    EXPECT_TRUE(repeats) << track;
    EXPECT_EQ(img.Count(0, 0, 799, 599, Brown), img.Count(0, 170, 799, 177, Brown));

    // The train picture: grey, against the right edge, above the track.
    int inPicture = img.Count(250, 50, 799, 169, Grey);
    EXPECT_GT(inPicture, 500);
    EXPECT_EQ(img.Count(0, 0, 799, 599, Grey), inPicture) << "grey outside the picture";
}

TEST_F(Screens, MenuListsTheGamesAndEachGameShowsItsTitleAndFirstLine) {
    Start();
    // Where each game writes its first line, and what it says in a fresh game.
    struct FirstLine {
        std::string Game;
        int X, Y;
        std::string Pattern;
        std::string Shot;  // file name
    };
    const FirstLine firstLines[] = {
        {"Alphabet", 15, 15, "Current Letter: a", "alphabet"},
        {"Arrows", 15, 15, "Arrow 0: (Left|Right|Up|Down)", "arrows"},
        {"Cows and Bulls", 25, 75, "Previous Guesses:", "cowsandbulls"},
        {"Number Loop", 392, 20, R"(\d\d)", "numberloop"},
        {"Quick Math", 15, 15, R"(Current Problem: \d+ [-+*] \d+ = 0)", "quickmath"},
    };
    for (const FirstLine& f : firstLines) {
        SCOPED_TRACE(f.Game);
        OpenGame(Game(f.Game), [&](const Image& menu) {
            // Nothing but the list, first line selected.
            EXPECT_EQ(menu.Count(0, 0, 799, 599, White), menu.Count(15, 15, 799, 54, White));
            if (f.Game == "Alphabet")
                Shot(menu, "menu");
        });
        // A game may draw its first line only after its first tick.
        Text t;
        Image game = Await(
            [&](const Image& i) {
                t = Read(i, f.Y, White, 0, 640);
                return Matches(t.Str, f.Pattern);
            },
            f.Pattern);
        EXPECT_EQ(t.X, f.X);
        EXPECT_TRUE(Matches(StatusLine(game, 1), R"(Time Left: \d:\d\d)"));
        Shot(game, f.Shot);
        AbandonGame();
    }
}

// The cells of the current-guess line "Guess:  d d d d" with the underscore under the next digit.
void ExpectCurrentGuess(const Image& img, const std::string& digits, int next) {
    EXPECT_EQ(Line(img, 50, 50, White, 7), "Guess:");
    for (int k = 0; k < 4; ++k) {
        uint64_t want = Glyph(digits[k]) | (k == next ? Glyph('_') : 0);
        EXPECT_EQ(Cell(img, 50 + 64 + 16 * k, 50, White), want) << "digit " << k;
    }
}

TEST_F(Screens, CowsAndBullsScoresGuessesNewestFirst) {
    Start();
    const GameData& game = Game("Cows and Bulls");
    OpenGame(game);
    ExpectCurrentGuess(Await([](const Image& i) { return Line(i, 50, 50, White, 7) == "Guess:"; },
                             "the current guess"),
                       "0000", 0);
    Win->Type("7");
    ExpectCurrentGuess(
        Await([](const Image& i) { return Line(i, 50, 50, White, 10) == "Guess:  7"; },
              "first digit"),
        "7000", 1);

    // 7123, then each digit four times: a guess dddd scores one cow or bull per d in the
    // secret, so the ten of them add up to 4.
    std::vector<std::string> guesses = {"7123"};
    for (char d = '0'; d <= '9'; ++d)
        guesses.push_back(std::string(4, d));
    int total = 0;
    for (size_t n = 1; n <= guesses.size(); ++n) {
        const std::string& guess = guesses[n - 1];
        Image img;
        std::pair<int, int> cb = Score(n, guess, n == 1 ? 1 : 0, &img);
        if (cb.first == -1) {  // the guess was the secret
            EXPECT_EQ(SpeedMph(img), 150 - game.Drop());
            return;
        }
        ASSERT_GE(cb.first, 0);
        int score = cb.first + cb.second;
        EXPECT_LE(score, 4);
        if (n > 1)
            total += score;
        ExpectCurrentGuess(img, "0000", 0);
        // Older guesses move down one row each.
        for (size_t r = 1; r < n; ++r)
            EXPECT_EQ(Line(img, 40, 90 + 8 * r)
                          .rfind("Guess " + std::to_string(n - r) + ": " + guesses[n - r - 1], 0),
                      0u);
    }
    EXPECT_EQ(total, 4);
    Shot(Screen(), "cowsandbulls-guesses");
}

// The overlay's text lines from (100, 100) down to its last line; the box is 75 cells wide.
std::vector<std::string> HelpLines(const Image& img) {
    std::vector<std::string> lines;
    for (int y = 100; y < 560 && (lines.empty() || lines.back() != HelpLastLine); y += 8)
        lines.push_back(Line(img, 100, y, White, 75));
    return lines;
}

// The purple frame runs 10 pixels outside the text box: x 90 to 710, y 90 to 10 below the text.
void ExpectHelpFrame(const Image& img, int lineCount) {
    int bottom = 100 + 8 * lineCount + 10;
    EXPECT_EQ(img.Count(90, 90, 710, 90, Purple), 621) << "top";
    EXPECT_EQ(img.Count(90, bottom, 710, bottom, Purple), 621) << "bottom";
    EXPECT_EQ(img.Count(90, 90, 90, bottom, Purple), bottom - 89) << "left";
    EXPECT_EQ(img.Count(710, 90, 710, bottom, Purple), bottom - 89) << "right";
    EXPECT_EQ(img.Count(0, 0, 799, 599, Purple), 2 * 621 + 2 * (bottom - 91)) << "purple elsewhere";
}

void ExpectHelp(const Image& img, const std::vector<std::string>& lines) {
    std::vector<std::string> want;
    for (const std::string& l : lines)
        want.push_back(Trim(l));
    EXPECT_EQ(HelpLines(img), want);
    ExpectHelpFrame(img, want.size());
}

TEST_F(Screens, HelpOverlayWrapsTheHelpTextInItsFrame) {
    Start();
    const GameData& game = Game("Quick Math");
    OpenGame(game);
    Image help = HoldFor(
        XK_F1, [&](const Image& i) { return ShowsHelp(i, game); }, "help");
    std::vector<std::string> lines = HelpLines(help);
    std::string words;
    for (const std::string& l : lines)
        words += l.empty() ? "" : l + " ";
    EXPECT_EQ(words, "Help for " + game.Title() +
                         " Answer the 10 simple math questions as quicky as you can - the longer "
                         "you take, the less time you will have for other activities and stopping "
                         "the train. " +
                         HelpLastLine + " ");
    EXPECT_EQ(lines[1], "") << "a blank line after the title";
    EXPECT_EQ(lines[lines.size() - 2], "") << "a blank line before the last";
    ExpectHelpFrame(help, lines.size());
}

// The loop as drawn: the slot above the line and the 20 cells clockwise from the left end of the
// middle row. Each row is centred on x = 400 by itself.
struct Ring {
    int Slot = -1;
    std::vector<int> Cells;
    bool operator==(const Ring& o) const { return Slot == o.Slot && Cells == o.Cells; }
};

std::ostream& operator<<(std::ostream& out, const Ring& r) {
    out << "slot " << r.Slot << ", cells";
    for (int v : r.Cells)
        out << ' ' << v;
    return out;
}

bool ReadRing(const Image& img, Ring* ring) {
    struct RowShape {
        int FirstInk;  // x of the first cell with ink
        std::string Pattern;
    };
    const std::string nine = R"( ?(\d\d) (\d\d) (\d\d) (\d\d) (\d\d) (\d\d) (\d\d) (\d\d) (\d\d))";
    // The "|" and "X" column stands over the fifth number of the top row.
    const RowShape rows[] = {
        {392, R"((\d\d))"}, {396, R"(\|)"}, {396, R"(\|)"}, {396, "X"},
        {396, R"(\|)"},     {396, R"(\|)"}, {300, nine},    {284, R"((\d\d) {25}(\d\d))"},
        {300, nine},
    };
    std::vector<std::vector<int>> numbers;
    for (int r = 0; r < 9; ++r) {
        Text t = Read(img, 20 + 8 * r, White, 0, 640);
        std::smatch m;
        if (t.X != rows[r].FirstInk || !Matches(t.Str, rows[r].Pattern, &m))
            return false;
        std::vector<int> row;
        for (size_t i = 1; i < m.size(); ++i)
            row.push_back(std::stoi(m[i]));
        numbers.push_back(row);
    }
    ring->Slot = numbers[0][0];
    ring->Cells = {numbers[7][0]};
    ring->Cells.insert(ring->Cells.end(), numbers[6].begin(), numbers[6].end());
    ring->Cells.push_back(numbers[7][1]);
    ring->Cells.insert(ring->Cells.end(), numbers[8].rbegin(), numbers[8].rend());
    return true;
}

Ring AwaitRing(Haltwick& t, const std::function<bool(const Ring&)>& pred, const std::string& what) {
    Ring ring;
    t.Await([&](const Image& i) { return ReadRing(i, &ring) && pred(ring); }, what);
    return ring;
}

TEST_F(Screens, NumberLoopTurnsSwapsShowsItsHelpAndDumpsItsGoal) {
    Start();
    const GameData& game = Game("Number Loop");
    OpenGame(game);
    Ring dealt = AwaitRing(
        *this, [](const Ring&) { return true; }, "the dealt ring");
    ASSERT_EQ(dealt.Cells.size(), 20u);
    std::vector<bool> seen(21);
    for (int v : dealt.Cells)
        if (v >= 1 && v <= 20)
            seen[v] = true;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 20) << "not the numbers 1 to 20";
    EXPECT_EQ(dealt.Slot, 0);

    // The dump is of the board by index; with the loop unturned that is the ring's order.
    Win->Tap(XK_z);
    std::string goal = "if(Num == 0 ";
    for (int i = 0; i < 20; ++i)
        goal += "&& Board[(Pos + " + std::to_string(i) +
                ") % 20] == " + std::to_string(dealt.Cells[i]) + " ";
    goal += ")";

    Win->Tap(XK_Left);
    Ring turned = AwaitRing(
        *this, [&](const Ring& r) { return !(r == dealt); }, "a turn");
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(turned.Cells[k], dealt.Cells[(k + 1) % 20]) << "Left moves every cell one place";
    EXPECT_EQ(turned.Slot, 0);

    Win->Tap(XK_space);
    Ring swapped = AwaitRing(
        *this, [&](const Ring& r) { return !(r == turned); }, "a swap");
    Ring expected = turned;
    std::swap(expected.Slot, expected.Cells[5]);
    EXPECT_EQ(swapped, expected) << "Space swaps the slot with the fifth top-row number";

    // The help picture keeps its hard blanks; the first line is one long word broken at 74 cells.
    Image help = HoldFor(
        XK_F1, [&](const Image& i) { return ShowsHelp(i, game); }, "help");
    Shot(help, "help");
    const std::string intro =
        "The idea is to organize the numbers in the loop. The left and right arrows rotate the "
        "loop. Pressing space swaps the value above the line and under it. The idea is to get the "
        "loop to look like the following:";
    const std::string outro =
        "The quicker you accomplish this, the quicker you can get back to stopping the train!";
    const std::vector<std::string> lines = {"Help for " + game.Title(),
                                            "",
                                            intro.substr(0, 74),
                                            intro.substr(74, 74),
                                            intro.substr(148),
                                            "           0",
                                            "           |",
                                            "           |",
                                            "           X",
                                            "           |",
                                            "           |",
                                            " 01 02 03 04 05 06 07 08 09",
                                            "10                        11",
                                            " 12 13 14 15 16 17 18 19 20",
                                            "",
                                            outro.substr(0, 74),
                                            outro.substr(74),
                                            "",
                                            HelpLastLine};
    ExpectHelp(help, lines);

    // The key that closes the help does not reach the game: Left would turn the loop.
    Win->Tap(XK_Left);
    Ring after = AwaitRing(
        *this, [](const Ring&) { return true; }, "the ring after the help");
    EXPECT_EQ(after, swapped);

    HoldFor(
        XK_Escape, [](const Image& i) { return ShowsEnd(i, LoseMessage); }, "lose message");
    ExpectCleanExit();
    EXPECT_EQ(Proc->Output(), goal);
}

// ---- A whole run, played from the screen -----------------------------------------------------

class Player : public Haltwick {
protected:
    std::string StatusAt15(const Image& img) { return Line(img, 15, 15, White, 40); }

    // Reads "Current Problem: a op b = 0", types the answer and Enter; eleven right answers win.
    // On the keypad, the answers go in with its digits and its Enter; shifted, with Shift held
    // around each digit, as layouts whose top row gives digits only with Shift need.
    void PlayQuickMath(bool keypad = false, bool shifted = false) {
        for (int solved = 0; solved < 11; ++solved) {
            std::string line;
            Await(
                [&](const Image& i) {
                    line = StatusAt15(i);
                    return Matches(line, R"(Current Problem: \d+ [-+*] \d+ = 0)");
                },
                "a problem", TopBand);
            std::smatch m;
            ASSERT_TRUE(Matches(line, R"(Current Problem: (\d+) ([-+*]) (\d+) = 0)", &m)) << line;
            int a = std::stoi(m[1]), b = std::stoi(m[3]);
            char op = m[2].str()[0];
            std::string answer = std::to_string(op == '+' ? a + b : op == '-' ? a - b : a * b);
            std::string typed = line.substr(0, line.size() - 1) + answer;
            for (char c : answer) {
                bool shift = shifted && c != '-';
                if (shift)
                    Win->Key(XK_Shift_L, true);
                Win->Tap(keypad && c != '-' ? XK_KP_0 + (c - '0') : (unsigned char)c);
                if (shift)
                    Win->Key(XK_Shift_L, false);
            }
            Image shown;
            if (!Win->WaitFor([&](const Image& i) { return StatusAt15(i) == typed; }, Patience,
                              &shown, TopBand)) {
                ADD_FAILURE() << "typed " << answer << ", shown: " << StatusAt15(shown);
                return;
            }
            Win->Tap(keypad ? XK_KP_Enter : XK_Return);
            // The line changes, unless the next problem happens to be the same zero-answer one.
            if (solved < 10)
                Win->WaitFor([&](const Image& i) { return StatusAt15(i) != typed; }, 2000, nullptr,
                             TopBand);
        }
    }

    void PlayAlphabet(int downMs = 4) {
        Await([&](const Image& i) { return StatusAt15(i) == "Current Letter: a"; }, "letter a",
              TopBand);
        Win->Type("abcdefghijklmnopqrstuvwxyz", downMs);
    }

    // Reads "Arrow n: <name>", holds that arrow for a few ticks and waits for the line to change.
    void PlayArrows(const GameData& game) {
        const std::pair<std::string, unsigned long> keys[] = {
            {"Left", XK_Left}, {"Right", XK_Right}, {"Up", XK_Up}, {"Down", XK_Down}};
        std::string line;
        auto over = [&](const Image& i) { return !ShowsGame(i, game); };
        for (int presses = 0; presses < 60; ++presses) {
            Image img = Await(
                [&](const Image& i) {
                    line = StatusAt15(i);
                    return over(i) || Matches(line, R"(Arrow \d+: (Left|Right|Up|Down))");
                },
                "an arrow", TopBand);
            if (over(img))
                return;
            for (const auto& k : keys)
                if (line.substr(line.find(": ") + 2) == k.first)
                    Win->Hold(k.second, 40);
            // A hold the main loop missed is simply made again.
            Win->WaitFor([&](const Image& i) { return over(i) || StatusAt15(i) != line; }, 1500,
                         nullptr, TopBand);
        }
        ADD_FAILURE() << "Arrows not won after 60 presses";
    }

    // A guess dddd scores one cow or bull per d in the secret. With x a digit not in the secret,
    // "d x x x" has d as its only scorer, a bull exactly when the secret has d in that place.
    void PlayCowsAndBulls() {
        int n = 0, count[10] = {}, found = 0;
        for (int d = 0; d < 10 && found < 4; ++d) {
            std::pair<int, int> cb = Score(++n, std::string(4, '0' + d));
            if (cb.first < 0)  // won, or a failure already reported
                return;
            found += count[d] = cb.first + cb.second;
        }
        ASSERT_EQ(found, 4) << "the guesses dddd do not add up to four digits";
        const char absent = '0' + (std::find(count, count + 10, 0) - count);
        std::string secret;
        for (int p = 0; p < 4; ++p)
            for (int d = 0; d < 10 && (int)secret.size() == p; ++d) {
                if (count[d] == 0)
                    continue;
                // The last digit left to try needs no guess.
                bool here = std::count_if(count + d, count + 10, [](int c) { return c > 0; }) == 1;
                if (!here) {
                    std::string probe(4, absent);
                    probe[p] = '0' + d;
                    std::pair<int, int> cb = Score(++n, probe);
                    ASSERT_EQ(cb.first + cb.second, 1) << probe << " scored " << cb.first << ", "
                                                       << cb.second;
                    here = cb.second == 1;
                }
                if (here) {
                    secret += '0' + d;
                    --count[d];
                }
            }
        ASSERT_EQ(secret.size(), 4u);
        EXPECT_EQ(Score(++n, secret).first, -1) << secret << " did not win";
    }

    // Cycle sort through the slot: take a misplaced number out, turn its home cell under the line
    // and swap, and go on with the number that comes out until it is the hole's. The state is
    // tracked from the keys sent, and the screen must show it before every swap.
    void PlayNumberLoop() {
        const int goal[20] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  11,
                              20, 19, 18, 17, 16, 15, 14, 13, 12, 10};
        Ring dealt = AwaitRing(*this, [](const Ring&) { return true; }, "the dealt ring");
        ASSERT_EQ(dealt.Slot, 0);
        std::vector<int> board = dealt.Cells;  // by loop index, the cell first at the left 0
        int pos = 0, held = 0;                  // loop index at the left end of the middle row
        // The goal's rotation that finds most numbers at home.
        int start = 0, best = -1;
        for (int c = 0; c < 20; ++c) {
            int fit = 0;
            for (int k = 0; k < 20; ++k)
                fit += board[(c + k) % 20] == goal[k];
            if (fit > best)
                best = fit, start = c;
        }
        std::vector<int> home(21);
        for (int k = 0; k < 20; ++k)
            home[goal[k]] = (start + k) % 20;
        auto misplaced = [&](int i) {
            i = (i + 20) % 20;
            return board[i] != 0 && home[board[i]] != i;
        };
        for (int swaps = 0; swaps < 60; ++swaps) {
            int cell = held ? home[held] : -1;
            for (int d = 0; d <= 10 && cell < 0; ++d)  // the nearest misplaced number
                for (int i : {pos + 5 + d, pos + 5 - d})
                    if (cell < 0 && misplaced(i))
                        cell = (i + 20) % 20;
            ASSERT_GE(cell, 0) << "nothing to move, yet the game goes on";
            int lefts = ((cell - 5 - pos) % 20 + 20) % 20;
            for (int t = std::min(lefts, 20 - lefts); t > 0; --t) {
                Win->Tap(lefts <= 10 ? XK_Left : XK_Right);
                SleepMs(20);
            }
            pos = (cell + 15) % 20;
            Ring want{held, {}};
            for (int k = 0; k < 20; ++k)
                want.Cells.push_back(board[(pos + k) % 20]);
            AwaitRing(*this, [&](const Ring& r) { return r == want; }, "the tracked ring");
            if (HasFailure())
                return;
            Win->Tap(XK_space);
            std::swap(held, board[cell]);
            bool solved = held == 0;
            for (int i = 0; i < 20; ++i)
                solved = solved && !misplaced(i);
            if (solved)
                return;
        }
        ADD_FAILURE() << "Number Loop not solved in 60 swaps";
    }
};

// ---- Scale and fullscreen --------------------------------------------------------------------

// Every k x k block of the window's picture, from its corner, is one colour.
bool ExactBlocks(const Image& img, int k) {
    for (int y = 0; y + k <= img.H; y += k)
        for (int x = 0; x + k <= img.W; x += k)
            for (int i = 0; i < k * k; ++i)
                if (!(img.Pixels[(y + i / k) * img.W + x + i % k] == img.Pixels[y * img.W + x]))
                    return false;
    return true;
}

// Pixels of a picture of a w x h frame that lie wholly inside one frame pixel, yet are not the
// colour at that pixel's centre. A sharp scaler blends only the one screen pixel an edge runs
// through; plain bilinear filtering blurs its neighbours too.
int BlurredPixels(const Image& big, int w, int h) {
    // The frame pixels that screen pixel i of n, scaled from m, spans: first and last.
    auto spans = [](int i, int n, int m) { return std::make_pair(i * m / n, ((i + 1) * m - 1) / n); };
    auto centre = [](int l, int n, int m) { return (2 * l + 1) * n / (2 * m); };
    int blurred = 0;
    for (int y = 0; y < big.H; ++y) {
        auto [top, bottom] = spans(y, big.H, h);
        for (int x = 0; x < big.W && top == bottom; ++x) {
            auto [left, right] = spans(x, big.W, w);
            Rgb own = big.Pixels[centre(top, big.H, h) * big.W + centre(left, big.W, w)];
            if (left == right && !(big.Pixels[y * big.W + x] == own))
                ++blurred;
        }
    }
    return blurred;
}

std::string Describe(Rect r) {
    return std::to_string(r.W) + "x" + std::to_string(r.H) + "+" + std::to_string(r.X) + "+" +
           std::to_string(r.Y);
}

class ScaledGame : public Player {
protected:
    std::unique_ptr<XServer> Server;

    // The game and this test's connection go before the server they are on.
    ~ScaledGame() override {
        Win.reset();
        Proc.reset();
    }

    // A server of this test's own, for a desktop unlike the suite's; the last one goes.
    std::string OwnServer(const Desktop& d) {
        Win.reset();
        Proc.reset();
        Server = std::make_unique<XServer>(24, d);
        return Server->Display;
    }

    // Waits for the window to take this place and size (a negative X or Y: any place).
    // centred: Windows centres the window with its caption, which Wine's X window leaves out,
    // so there its inside stands up to half a caption lower.
    Rect AwaitGeometry(Rect want, const std::string& what, bool centred = false) {
        int slack = centred && WindowsBuild() ? 20 : 0;
        Rect g;
        bool ok = TestSupport::WaitFor(
            [&] {
                g = Win->Geometry();
                return g.W == want.W && g.H == want.H && (want.X < 0 || g.X == want.X) &&
                       (want.Y < 0 || (g.Y >= want.Y && g.Y <= want.Y + slack));
            },
            Patience);
        EXPECT_TRUE(ok) << what << ": window " << Describe(g) << ", not " << Describe(want);
        return g;
    }

    // Where the window stands once its window manager has framed and placed it.
    Rect Settled() {
        Rect g = Win->Geometry(), last{-1, -1, 0, 0};
        TestSupport::WaitFor(
            [&] {
                last = g;
                SleepMs(100);
                g = Win->Geometry();
                return g == last && (g.X != 0 || g.Y != 0);
            },
            Patience);
        return g;
    }

    // Ctrl with a key, as a player zooms.
    void CtrlTap(unsigned long keysym) {
        Win->Key(XK_Control_L, true);
        Win->Tap(keysym, 20);
        Win->Key(XK_Control_L, false);
    }
};

class Scale : public ScaledGame {};

TEST_F(Scale, OpensAtTheDesktopsScaleAsExactBlocksCentredAndZoomsWhilePlaying) {
    Start(OwnServer(Desktop{"3840x2160", 192}));
    AwaitGeometry(Rect{1120, 480, 1600, 1200}, "at 200 %", true);
    Image big = Win->GrabWindow(Rect{0, 0, 1600, 1200});
    EXPECT_TRUE(ExactBlocks(big, 2)) << "not 2 x 2 blocks";
    EXPECT_GT(TimeLeft(Screen()), 300) << "the scaled picture does not read as the frame";

    // Every letter counts across the zoom keys, main keyboard and keypad alike.
    OpenGame(Game("Alphabet"));
    auto typeUpTo = [&](const std::string& letters, char next) {
        Win->Type(letters);
        Await([&](const Image& i) { return StatusAt15(i) == std::string("Current Letter: ") + next; },
              std::string("letter ") + next, TopBand);
    };
    typeUpTo("abcdefgh", 'i');
    CtrlTap(XK_equal);
    AwaitGeometry(Rect{720, 180, 2400, 1800}, "Ctrl+Plus", true);
    typeUpTo("ijklmnop", 'q');
    CtrlTap(XK_KP_Subtract);
    AwaitGeometry(Rect{1120, 480, 1600, 1200}, "Ctrl+Minus on the keypad", true);
    CtrlTap(XK_minus);
    Rect small = AwaitGeometry(Rect{1520, 780, 800, 600}, "Ctrl+Minus", true);
    CtrlTap(XK_minus);  // no smaller than 1x
    typeUpTo("qrstuvw", 'x');
    EXPECT_TRUE(Win->Geometry() == small);
    CtrlTap(XK_0);
    Rect back = AwaitGeometry(Rect{1120, 480, 1600, 1200}, "Ctrl+0", true);
    Win->Type("xyz");
    EXPECT_EQ(SpeedMph(Await(OnMainScreen, "the main screen after Alphabet", UpToEndBox)),
              150 - Game("Alphabet").Drop());

    // Without a window manager X has no fullscreen: the game stays as it was, and plays on.
    if (WindowsBuild())
        return;
    Win->Tap(XK_F11);
    int before = TimeLeft(Await([](const Image& i) { return TimeLeft(i) > 0; }, "the clock"));
    Await([&](const Image& i) { return TimeLeft(i) < before; }, "the clock after F11");
    EXPECT_TRUE(Win->Geometry() == back);
}

TEST_F(Scale, IsLoweredUntilTheWindowFitsItsScreen) {
    struct Case {
        Desktop On;
        std::vector<std::string> Env;
        Rect Want;
    };
    const Case cases[] = {
        {Desktop{"1366x768", 192}, {}, Rect{283, 84, 800, 600}},
        {Desktop{"3840x2160"}, {"HALTWICK_SCALE=3"}, Rect{720, 180, 2400, 1800}},
        {Desktop{"1920x1080", 96}, {"HALTWICK_SCALE=4"}, Rect{560, 240, 800, 600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.On.Screen + (c.Env.empty() ? "" : " " + c.Env[0]));
        Start(OwnServer(c.On), c.Env);
        AwaitGeometry(c.Want, "fitted", true);
        Win->RequestClose();
        EXPECT_TRUE(Proc->Wait(Patience)) << "still running after a close";
    }
}

// On a 1920 x 1080 screen with a window manager (HALTWICK_TEST_WM, HALTWICK_TEST_SCREEN).
class Fullscreen : public ScaledGame {
protected:
    const Rect Whole{0, 0, 1920, 1080};

    // The whole screen: the frame 1.8 times as large in the middle, black bars beside it, no
    // edge blended wider than a pixel, and the frame itself as the game drew it.
    void ExpectFitted() {
        AwaitGeometry(Whole, "fullscreen");
        Rect p = Win->Picture();
        EXPECT_TRUE(p == (Rect{240, 0, 1440, 1080})) << Describe(p);
        // The status lines and the train's first rows: text in several colours on black.
        Rect text{0, 0, 800, 120};
        Await([](const Image& i) { return SpeedMph(i) == 150; }, "the fitted frame's speed", text);
        for (Rect bar : {Rect{0, 0, 240, 1080}, Rect{1680, 0, 240, 1080}}) {
            Image img = Win->GrabWindow(bar);
            EXPECT_EQ(img.Count(bar.X, 0, bar.X + bar.W - 1, 1079, Rgb{0, 0, 0}), bar.W * bar.H)
                << "a bar is not black at " << bar.X;
        }
        Image big = Win->GrabWindow(Rect{240, 0, 1440, 216});
        EXPECT_EQ(BlurredPixels(big, 800, 120), 0) << "text blurs";
    }
};

TEST_F(Fullscreen, F11AndAltEnterToggleASharpFittedFrameAndRestoreTheWindow) {
    Start();
    Rect windowed = Settled();
    Win->Tap(XK_F11);
    ExpectFitted();
    Win->Tap(XK_F11);
    AwaitGeometry(windowed, "F11 again");

    // In the menu Alt+Enter toggles fullscreen and chooses nothing.
    HoldFor(XK_Tab, [](const Image& i) { return MenuSelection(i) == 0; }, "menu");
    Win->Key(XK_Alt_L, true);
    Win->Tap(XK_Return, 20);
    Win->Key(XK_Alt_L, false);
    AwaitGeometry(Whole, "Alt+Enter");
    SleepMs(300);
    EXPECT_EQ(MenuSelection(Screen()), 0) << "Alt+Enter acted in the menu";
    Win->Tap(XK_Return);
    Await([&](const Image& i) { return ShowsGame(i, Game("Alphabet")); }, "Alphabet", TopBand);

    // A close still quits, fullscreen or not.
    Win->RequestClose();
    ASSERT_TRUE(Proc->Wait(Patience)) << "still running after a close in fullscreen";
    EXPECT_EQ(Proc->ExitCode, 0);
}

TEST_F(Fullscreen, FollowsTheWindowManagersOwnRequestBothWays) {
    if (WindowsBuild())
        GTEST_SKIP() << "X only: a Windows window's size is its own, and no one else asks for "
                        "fullscreen there";
    Start();
    Rect windowed = Settled();
    Win->RequestFullscreen(true);
    ExpectFitted();
    Win->RequestFullscreen(false);
    AwaitGeometry(windowed, "the window manager's request to leave");
    Win->Hold(XK_Escape);
    Await([](const Image& i) { return ShowsEnd(i, LoseMessage); }, "lose message", UpToEndBox);
    ExpectCleanExit();
}

class Puzzles : public Player {};

TEST_F(Puzzles, CowsAndBullsThenNumberLoopWonFromTheScreen) {
    Start();
    ASSERT_EQ(SpeedMph(First), 150);
    // Cows and Bulls (55) takes off 54 MPH, Number Loop (80) 80.
    const std::pair<const char*, int> plan[] = {{"Cows and Bulls", 96}, {"Number Loop", 16}};
    Image main;
    for (const auto& step : plan) {
        SCOPED_TRACE(step.first);
        const GameData& game = Game(step.first);
        OpenGame(game);
        if (game.Name == "Cows and Bulls")
            PlayCowsAndBulls();
        else
            PlayNumberLoop();
        if (HasFailure())
            return;
        main = Await(OnMainScreen, "the main screen", UpToEndBox);
        EXPECT_EQ(SpeedMph(main), step.second);
    }
    std::cout << "[ puzzles  ] game time used: " << 366 - TimeLeft(main) << " s of 366\n";
}

TEST_F(Player, StopsTheTrainByWinningGamesWithoutTheCtrlKeys) {
    Start();
    // 150 MPH: five Quick Maths take off 120, then Alphabet, Arrows and Alphabet 10 each.
    const char* plan[] = {"Quick Math", "Quick Math", "Quick Math", "Quick Math",
                          "Quick Math", "Alphabet",   "Arrows",     "Alphabet"};
    int speed = SpeedMph(First);
    ASSERT_EQ(speed, 150);
    int timeLeft = 0;
    int quickMaths = 0, alphabets = 0;
    for (const char* name : plan) {
        SCOPED_TRACE(name);
        const GameData& game = Game(name);
        timeLeft = TimeLeft(OpenGame(game));
        // Two of them on the keypad, each just after Num Lock was turned on, then off again.
        bool keypad = game.Name == "Quick Math" && ++quickMaths % 2 == 0;
        if (game.Name == "Quick Math") {
            if (keypad)
                Win->Tap(XK_Num_Lock);
            PlayQuickMath(keypad);
            if (keypad)
                Win->Tap(XK_Num_Lock);
        } else if (game.Name == "Alphabet") {
            // The second with presses of no length at all: a typed key is never lost.
            PlayAlphabet(++alphabets == 2 ? 0 : 4);
        }
        else
            PlayArrows(game);
        if (HasFatalFailure())
            return;
        speed -= game.Drop();
        if (speed > 0) {
            EXPECT_EQ(SpeedMph(Await(OnMainScreen, "the main screen", UpToEndBox)), speed);
        }
    }
    Await([](const Image& i) { return ShowsEnd(i, WinMessage); }, "win message", UpToEndBox);
    // The last game took under a second.
    int used = 366 - timeLeft;
    std::cout << "[ player   ] game time used: " << used << " to " << used + 1 << " s of 366\n";
    EXPECT_LT(used, 180) << "not well inside the time";
    ExpectCleanExit();
}

// The top row gives digits unshifted on German and US keyboards, and only with Shift on French
// ones, as on every AZERTY keyboard. The game reads the layout as it starts.
TEST_F(Player, TypesQuickMathAnswersOnFrenchGermanAndUsKeyboards) {
    // The server's keyboard layout; the suite's other tests type on its own, US.
    struct Layout {
        static bool Set(const std::string& name) {
            return std::system(("setxkbmap -display " + XDisplay() + " " + name).c_str()) == 0;
        }
        ~Layout() { Set("us"); }
    } restore;
    const std::pair<std::string, int> plan[] = {{"fr", 3}, {"de", 1}, {"us", 1}};
    for (const auto& [layout, games] : plan) {
        SCOPED_TRACE(layout);
        ASSERT_TRUE(Layout::Set(layout));
        Start();
        int speed = SpeedMph(First);
        for (int i = 0; i < games && !HasFailure(); ++i) {
            OpenGame(Game("Quick Math"));
            PlayQuickMath(false, layout == "fr");
            speed -= Game("Quick Math").Drop();
            EXPECT_EQ(SpeedMph(Await(OnMainScreen, "the main screen", UpToEndBox)), speed);
        }
        // Gone before the next one starts, whose window would be taken for it.
        Win->RequestClose();
        ASSERT_TRUE(Proc->Wait(15000)) << "still running after the close request";
        if (HasFailure())
            return;
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s path/to/haltwick [gtest options]\n", argv[0]);
        return 2;
    }
    GamePath = argv[1];
    if (const char* dir = std::getenv("HALTWICK_SHOTS"))
        ShotDir = dir;
    return RUN_ALL_TESTS();
}
