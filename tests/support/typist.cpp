#include "tests/support/typist.h"

#include <allegro.h>

namespace TestSupport {

namespace {

// The library's timer calls a plain function, so the running script lives here.
std::atomic<int>* ScriptTicks = nullptr;
std::vector<TypistStep> Script;
std::atomic<int> NextStep{0};
void (*StepHook)() = nullptr;

void PlayStep() {
    if (*ScriptTicks > 0)
        return;
    if (StepHook)
        StepHook();
    int step = NextStep;
    if (step < static_cast<int>(Script.size())) {
        for (int k : Script[step].Keys)
            simulate_keypress(k);
        NextStep = step + 1;
        *ScriptTicks += Script[step].Ticks;
    } else {
        simulate_keypress(KEY_ENTER << 8 | '\r');
        *ScriptTicks += 1;
    }
}

}  // namespace

Typist::Typist(std::atomic<int>* ticks, std::vector<TypistStep> script, void (*onStep)()) {
    ScriptTicks = ticks;
    Script = std::move(script);
    NextStep = 0;
    StepHook = onStep;
    *ticks = 1;
    install_int_ex(PlayStep, MSEC_TO_TIMER(1));
}

Typist::~Typist() { remove_int(PlayStep); }

int Typist::StepsPlayed() const { return NextStep; }

std::vector<TypistStep> OneKeyPerTick(std::initializer_list<int> keys) {
    std::vector<TypistStep> script;
    for (int k : keys)
        script.push_back({{k}, 1});
    return script;
}

}  // namespace TestSupport
