// Plays the running game in its window like a player, one step a call, and measures it there.
// With DISPLAY set:
//   window_probe fps SECONDS    the median of the game's "FPS: %d" line, read once a second
//   window_probe start INDEX    Tab, INDEX times Down and Enter: starts mini-game INDEX
//   window_probe latency N      N times a real Ctrl+Up (or Ctrl+Down) event, timed until the
//                               speed line changes; prints median, 95th percentile and N in ms
//   window_probe quit           Escape held 100 ms, then a key to close the end screen
// Every call first finds the window titled "Haltwick" and gives it the keyboard.
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
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
    } else if (command == "quit") {
        // The end screen pauses 200 ms and then waits for a key pressed after that.
        Press(win, XK_Escape, 100);
        SleepMs(400);
        Press(win, XK_space);
    } else {
        std::fprintf(stderr, "usage: window_probe fps SECONDS | start INDEX | latency N | quit\n");
        return 2;
    }
    return 0;
}
