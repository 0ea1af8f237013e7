// Brings the graphics library up as the game does, in a private X server, runs the benchmarks
// and reports each one against its budget; exits with 1 when a budget is broken.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/benchmarks.h"
#include "tests/support/display.h"

namespace {

struct Result {
    double Micros = 0;  // median frame of the game's composition, or mean tick
    double ReferenceMicros = 0;
    double FloorMicros = 0;
    double Ratio = 0;
    bool Median = false;
};

double CounterValue(const benchmark::BenchmarkReporter::Run& run, const char* name) {
    auto it = run.counters.find(name);
    return it == run.counters.end() ? 0 : static_cast<double>(it->second);
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The console report, plus each benchmark's median (or single run) kept for the budget table.
class BudgetReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, Result> Results;  // by benchmark name, in name order

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            std::string name = run.run_name.function_name;
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && !median) ||
                (!median && Results[name].Median))
                continue;
            double toMicros = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            double micros = StartsWith(name, ComposePrefix) ? CounterValue(run, "game_us")
                                                            : run.GetAdjustedRealTime() * toMicros;
            Results[name] = {micros, CounterValue(run, "ref_us"),
                             CounterValue(run, "floor_us"), CounterValue(run, "ratio"), median};
        }
    }

    // Prints both tables; false when a budget is broken.
    bool Judge() const {
        bool ok = true;
        std::printf("\nFrames, each within %.2fx its reference composition:\n", ComposeBudget);
        std::printf("%-26s %10s %10s %10s %7s\n", "screen", "game us", "ref us", "floor us",
                    "ratio");
        for (const auto& [name, r] : Results) {
            if (!StartsWith(name, ComposePrefix))
                continue;
            bool within = r.Ratio <= ComposeBudget;
            ok = ok && within;
            std::printf("%-26s %10.1f %10.1f %10.1f %7.3f%s\n", name.c_str(), r.Micros,
                        r.ReferenceMicros, r.FloorMicros, r.Ratio, within ? "" : "  OVER BUDGET");
        }
        std::printf("\nLogic ticks, each within %.0f us (1%% of the 10 ms tick):\n",
                    TickBudgetMicros);
        std::printf("%-26s %10s %10s\n", "state", "tick us", "% of tick");
        for (const auto& [name, r] : Results) {
            if (!StartsWith(name, TickPrefix))
                continue;
            bool within = r.Micros <= TickBudgetMicros;
            ok = ok && within;
            std::printf("%-26s %10.3f %10.4f%s\n", name.c_str(), r.Micros, r.Micros / 100,
                        within ? "" : "  OVER BUDGET");
        }
        return ok;
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    TestSupport::GameDisplay display;
    if (!display.Error.empty()) {
        std::fprintf(stderr, "%s\n", display.Error.c_str());
        return 2;
    }
    RegisterScreenBenchmarks();
    RegisterTickBenchmarks();
    BudgetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.Judge() ? 0 : 1;
}
