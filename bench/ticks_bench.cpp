// The cost of one logic tick in the heaviest states the game gets into, keys included.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/benchmarks.h"
#include "tests/support/keys.h"
#include "tests/support/scenes.h"

namespace {

using TestSupport::Scene;
using TestSupport::Screen;

void Tick(benchmark::State& state, Screen screen, bool help) {
    Scene scene(screen, help);
    for (auto _ : state)
        scene.Tick(1);
    TestSupport::ClearKeys();
    if (scene.Run.Finished || scene.Run.InGame != (screen != Screen::Main))
        state.SkipWithError("the scene left its screen");
}

}  // namespace

void RegisterTickBenchmarks() {
    auto add = [](Screen screen, bool help) {
        std::string name = TickPrefix + TestSupport::SceneName(screen, help);
        benchmark::RegisterBenchmark(name.c_str(), Tick, screen, help);
    };
    for (Screen screen : TestSupport::AllScreens)
        add(screen, false);
    for (Screen screen : TestSupport::GameScreens)
        add(screen, true);
}
