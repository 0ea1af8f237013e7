// The cost of composing each screen into the frame's memory bitmap, next to its reference
// composition (the same library calls, no game code) and the floor of any frame.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "bench/benchmarks.h"
#include "bench/references.h"
#include "framework/mgmenu.h"
#include "framework/minigamemanager.h"
#include "tests/support/pixels.h"
#include "tests/support/scenes.h"

namespace {

using TestSupport::Scene;
using TestSupport::Screen;

double Seconds(const std::function<void()>& draw) {
    auto start = std::chrono::steady_clock::now();
    draw();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double>& samples) {
    auto middle = samples.begin() + samples.size() / 2;
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

// Times the game's composition and its reference in turn, swapping their order every
// iteration, so load from elsewhere on the machine falls on both alike; the floor is timed
// with them. The game's time is the benchmark's; the medians of the three and the ratio of
// the game's to the reference's are counters. Medians, because a frame during which the
// process was preempted says nothing about either.
void Interleave(benchmark::State& state, const std::function<void()>& game,
                const std::function<void()>& reference) {
    TestSupport::Frame floorFrame, floorCopy;
    auto floor = [&] { Reference::Floor(floorFrame.Bmp, floorCopy.Bmp); };
    std::vector<double> games, references, floors;
    for (auto* samples : {&games, &references, &floors})
        samples->reserve(state.max_iterations);
    bool gameFirst = true;
    for (auto _ : state) {
        if (gameFirst) {
            games.push_back(Seconds(game));
            references.push_back(Seconds(reference));
        } else {
            references.push_back(Seconds(reference));
            games.push_back(Seconds(game));
        }
        gameFirst = !gameFirst;
        floors.push_back(Seconds(floor));
        state.SetIterationTime(games.back());
    }
    double gameMedian = Median(games);
    double referenceMedian = Median(references);
    state.counters["game_us"] = gameMedian * 1e6;
    state.counters["ref_us"] = referenceMedian * 1e6;
    state.counters["floor_us"] = Median(floors) * 1e6;
    state.counters["ratio"] = gameMedian / referenceMedian;
}

// The reference draws into the game's own frame bitmap, so both work on the same memory.
void ComposeScreen(benchmark::State& state, Screen screen, bool help) {
    Scene scene(screen, help);
    BITMAP* frame = scene.Run.Buffer;
    auto game = [&] { scene.Run.ComposeFrame(); };
    if (screen == Screen::Main) {
        BITMAP* picture = scene.Run.Train.Picture;
        Interleave(state, game, [&] { Reference::Main(frame, picture); });
        return;
    }
    const MiniGames::MiniGameInfo& info = *scene.Run.Manager->CurInfo;
    Reference::HelpPage page(info.Name, info.Help);
    Interleave(state, game, [&] {
        Reference::MiniGame(frame, screen, info.Name, help ? &page : nullptr);
    });
}

void ComposeMenu(benchmark::State& state) {
    Scene scene(Screen::Main);
    TestSupport::MenuScene menu(scene.Run.Manager->Factories);
    BITMAP* page = scene.Run.Buffer;
    Interleave(
        state, [&] { MiniGameManagement::MGMenu::DrawList(page, menu.Infos, menu.Selected); },
        [&] { Reference::Menu(page); });
}

// Each call lays the box over a mosaic of the last one's result, which costs the same.
void ComposeEndScreen(benchmark::State& state) {
    Scene scene(Screen::Main);
    TestSupport::EndRun(scene);
    BITMAP* frame = scene.Run.Buffer;
    Interleave(
        state, [&] { GameShell::DrawEndScreen(frame, true); },
        [&] { Reference::EndScreen(frame); });
}

}  // namespace

void RegisterScreenBenchmarks() {
    auto add = [](Screen screen, bool help) {
        std::string name = ComposePrefix + TestSupport::SceneName(screen, help);
        benchmark::RegisterBenchmark(name.c_str(), ComposeScreen, screen, help)->UseManualTime();
    };
    for (Screen screen : TestSupport::AllScreens)
        add(screen, false);
    for (Screen screen : TestSupport::GameScreens)
        add(screen, true);
    benchmark::RegisterBenchmark((std::string(ComposePrefix) + "Menu").c_str(), ComposeMenu)
        ->UseManualTime();
    benchmark::RegisterBenchmark((std::string(ComposePrefix) + "EndScreen").c_str(),
                                 ComposeEndScreen)
        ->UseManualTime();
}
