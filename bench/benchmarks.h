#ifndef HALTWICK_BENCH_BENCHMARKS_H
#define HALTWICK_BENCH_BENCHMARKS_H

// Name prefixes, by which the budget report tells the two kinds of benchmark apart.
constexpr const char* ComposePrefix = "Compose/";  // one frame; budget against its reference
constexpr const char* TickPrefix = "Tick/";        // one logic tick; budget against 10 ms

// Budgets: a screen within this factor of its reference composition, a tick within this share
// of the 1/100 s it stands for.
constexpr double ComposeBudget = 1.10;
constexpr double TickBudgetMicros = 100;

// Register the benchmarks; they need the graphics library up.
void RegisterScreenBenchmarks();
void RegisterTickBenchmarks();

#endif
