// Plays the running game in its window like a player, one step a call, and measures it there.
// With DISPLAY set:
//   window_probe fps SECONDS    the median of the game's "FPS: %d" line, read once a second
//   window_probe start INDEX    Tab, INDEX times Down and Enter: starts mini-game INDEX
//   window_probe latency N      N times a real Ctrl+Up (or Ctrl+Down) event, timed until the
//                               speed line changes; prints median, 95th percentile and N in ms
//   window_probe quit           Escape held 100 ms, then a key to close the end screen
//   window_probe picture W H    waits for the frame's picture in the window to be W x H;
//                               prints its size, "W H"
//   window_probe fullscreen W H F11, then waits for the window to cover a W x H screen
//   window_probe paused SECONDS PID [WINEPREFIX]
//                               the focus to another window until the game shows "Paused", then
//                               the CPU time the process PID takes over SECONDS, as % of a core;
//                               with a Wine prefix, also that of all of its processes together
//                               (PID, the Wine server and the helpers it started): "GAME ALL".
//                               The focus then goes back and the pause must end.
// Every call first finds the window titled "Haltwick" and gives it the keyboard.
#include <X11/keysym.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/window/window.h"

namespace {

using namespace TestSupport;

const int Right = 800;  // the status lines end at the window's right edge
const int LineHeight = 8;

// Down long enough for several 1/100 s ticks to see it held, then time for the game to act.
void Press(GameWindow& win, unsigned long keysym, int ms = 60) {
    win.Hold(keysym, ms);
    SleepMs(30);
}

// The number after prefix in the status line at row, or -1.
int StatusValue(GameWindow& win, int row, const char* prefix) {
    std::string line = StatusLine(win.Grab(Rect{0, row * LineHeight, Right, LineHeight}), row);
    size_t at = line.find(prefix);
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + std::strlen(prefix));
}

// The median of the game's FPS line read once a second, after a second and a half to settle.
int MedianFps(GameWindow& win, int seconds) {
    SleepMs(1500);
    std::vector<int> rates;
    for (int i = 0; i < seconds; ++i) {
        rates.push_back(StatusValue(win, 0, "FPS: "));
        SleepMs(1000);
    }
    std::nth_element(rates.begin(), rates.begin() + rates.size() / 2, rates.end());
    return rates[rates.size() / 2];
}

// Ctrl+Up (or Ctrl+Down, to stay near the starting speed) pressed at a random phase of the
// 1/100 s tick; the time until the speed line's pixels change, in ms, or -1.
double SpeedKeyLatency(GameWindow& win, std::mt19937& random) {
    SleepMs(std::uniform_int_distribution<int>(30, 60)(random));
    unsigned long arrow = StatusValue(win, 2, "Speed: ") <= 150 ? XK_Up : XK_Down;
    const Rect speed{Right - 8 * 16, 2 * LineHeight, 8 * 16, LineHeight};
    Image before = win.Grab(speed);
    double start = NowMs();
    win.Key(arrow, true);
    double ms = -1;
    // A short pause between grabs keeps the probe from crowding the server and the game.
    while (NowMs() - start < 500) {
        if (win.Grab(speed).Pixels != before.Pixels) {
            ms = NowMs() - start;
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    win.Key(arrow, false);
    return ms;
}

// The CPU time process pid has taken, all its threads, in clock ticks; -1 once it is gone.
long CpuTicks(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t name = stat.rfind(')');  // the name may hold blanks and brackets
    if (name == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(name + 1));
    std::string skip;
    for (int field = 3; field <= 13; ++field)  // state to cmajflt
        fields >> skip;
    long user = 0, system = 0;
    fields >> user >> system;
    return fields ? user + system : -1;
}

// The Wine programs running in prefix: those whose environment names it (the game's own, the
// server and the helpers they started all inherit it) and whose executable is Wine's.
std::vector<int> PrefixProcesses(const std::string& prefix) {
    std::vector<int> pids;
    std::string wanted = "WINEPREFIX=" + prefix;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        int pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        std::string dir = std::string("/proc/") + entry->d_name;
        char exe[4096] = {};
        if (readlink((dir + "/exe").c_str(), exe, sizeof exe - 1) < 0 ||
            !std::strstr(exe, "wine"))
            continue;
        std::ifstream in(dir + "/environ");
        std::string variable;
        while (std::getline(in, variable, '\0'))
            if (variable == wanted) {
                pids.push_back(pid);
                break;
            }
    }
    if (proc)
        closedir(proc);
    return pids;
}

bool ShowsPaused(GameWindow& win) {
    return StatusLine(win.Grab(Rect{0, 3 * LineHeight, Right, LineHeight}), 3) == "Paused";
}

// The share of a core that pid, and all of prefix's processes with it, take while the game is
// paused; false when the game did not pause, or did not go on when the focus came back.
bool PausedCpu(GameWindow& win, int seconds, int pid, const std::string& prefix) {
    win.FocusAway();
    if (!WaitFor([&] { return ShowsPaused(win); }, 5000)) {
        std::fprintf(stderr, "the game did not pause without the focus\n");
        return false;
    }
    SleepMs(2000);  // for whatever the focus change set off to settle
    std::vector<int> all = prefix.empty() ? std::vector<int>{pid} : PrefixProcesses(prefix);
    if (std::find(all.begin(), all.end(), pid) == all.end())
        all.push_back(pid);
    std::vector<long> before;
    for (int p : all)
        before.push_back(CpuTicks(p));
    double start = NowMs();
    SleepMs(seconds * 1000);
    double elapsed = (NowMs() - start) / 1000;
    long game = 0, sum = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        long now = CpuTicks(all[i]);
        if (now < 0 || before[i] < 0) {
            std::fprintf(stderr, "process %d ended during the pause\n", all[i]);
            return false;
        }
        sum += now - before[i];
        if (all[i] == pid)
            game = now - before[i];
    }
    if (!ShowsPaused(win)) {
        std::fprintf(stderr, "the pause ended without the focus\n");
        return false;
    }
    win.FocusBack();
    if (!WaitFor([&] { return !ShowsPaused(win); }, 5000)) {
        std::fprintf(stderr, "the game stayed paused with the focus back\n");
        return false;
    }
    double tick = sysconf(_SC_CLK_TCK);
    std::printf("%.2f %.2f\n", 100 * game / tick / elapsed, 100 * sum / tick / elapsed);
    return true;
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc >= 2 ? argv[1] : "";
    int value = argc >= 3 ? std::atoi(argv[2]) : 0;
    GameWindow win("");
    if (!win.Find("Haltwick", 20000)) {
        std::fprintf(stderr, "no Haltwick window\n");
        return 1;
    }

    if (command == "fps" && value > 0) {
        std::printf("%d\n", MedianFps(win, value));
    } else if (command == "start" && argc == 3) {
        Press(win, XK_Tab);
        SleepMs(100);
        for (int k = 0; k < value; ++k)
            Press(win, XK_Down, 20);
        Press(win, XK_Return, 20);
        SleepMs(200);
        std::string title = Read(win.Grab(Rect{0, 0, Right / 2, LineHeight}), 0, White, 0,
                                 Right / 2).Str;
        if (title.rfind("Mini Game: ", 0) != 0) {
            std::fprintf(stderr, "mini-game %d did not start: \"%s\"\n", value, title.c_str());
            return 1;
        }
        std::printf("%s\n", title.c_str());
    } else if (command == "latency" && value > 0) {
        std::mt19937 random(12345);
        std::vector<double> latencies;
        win.Key(XK_Control_L, true);
        for (int i = 0; i < value; ++i)
            latencies.push_back(SpeedKeyLatency(win, random));
        win.Key(XK_Control_L, false);
        if (*std::min_element(latencies.begin(), latencies.end()) < 0) {
            std::fprintf(stderr, "the speed did not change within 500 ms of a key\n");
            return 1;
        }
        std::printf("%.2f %.2f %d\n", Percentile(latencies, 0.5), Percentile(latencies, 0.95),
                    value);
    } else if (command == "picture" && argc == 4) {
        // The window is found as it appears; the game sizes it just after.
        int w = value, h = std::atoi(argv[3]);
        WaitFor([&] { Rect p = win.Picture(); return p.W == w && p.H == h; }, 5000);
        Rect p = win.Picture();
        std::printf("%d %d\n", p.W, p.H);
        if (p.W != w || p.H != h)
            return 1;
    } else if (command == "fullscreen" && argc == 4) {
        int w = value, h = std::atoi(argv[3]);
        Press(win, XK_F11, 20);
        if (!WaitFor([&] { Rect g = win.Geometry(); return g.W == w && g.H == h; }, 5000)) {
            Rect g = win.Geometry();
            std::fprintf(stderr, "the window is %d x %d after F11, not %d x %d\n", g.W, g.H, w, h);
            return 1;
        }
        SleepMs(300);  // for the game to show its frame at the new size
    } else if (command == "paused" && (argc == 4 || argc == 5) && value > 0) {
        if (!PausedCpu(win, value, std::atoi(argv[3]), argc == 5 ? argv[4] : ""))
            return 1;
    } else if (command == "quit") {
        // The end screen pauses 200 ms and then waits for a key pressed after that.
        Press(win, XK_Escape, 100);
        SleepMs(400);
        Press(win, XK_space);
    } else {
        std::fprintf(stderr, "usage: window_probe fps SECONDS | start INDEX | latency N | quit |\n"
                             "  picture W H | fullscreen W H | paused SECONDS PID [PREFIX]\n");
        return 2;
    }
    return 0;
}
