#include "tests/support/typist.h"

#include <allegro.h>

namespace TestSupport {

namespace {

// The library's timer calls a plain function, so the running script lives here.
std::atomic<int>* Pending = nullptr;
std::vector<TypistStep> Script;
std::atomic<int> NextStep{0};
std::atomic<int> IdleCalls{0};
std::atomic<bool> GaveUp{false};
void (*StepHook)() = nullptr;

const int CallsPerSecond = 200;
const int GiveUpAfter = 2 * CallsPerSecond;

void PlayStep() {
    if (*Pending > 0)
        return;
    int step = NextStep;
    if (step < static_cast<int>(Script.size())) {
        if (StepHook)
            StepHook();
        for (int code : Script[step].Keys)
            simulate_keypress(code << 8);
        NextStep = step + 1;
        *Pending += Script[step].Ticks;
    } else if (++IdleCalls >= GiveUpAfter) {
        GaveUp = true;
        IdleCalls = 0;
        simulate_keypress(KEY_ENTER << 8);
        *Pending += 1;
    }
}

}  // namespace

Typist::Typist(std::atomic<int>* ticks, std::vector<TypistStep> script, void (*onStep)()) {
    Pending = ticks;
    Script = std::move(script);
    NextStep = 0;
    IdleCalls = 0;
    GaveUp = false;
    StepHook = onStep;
    *ticks = 1;
    install_int_ex(PlayStep, BPS_TO_TIMER(CallsPerSecond));
}

Typist::~Typist() { remove_int(PlayStep); }

int Typist::StepsPlayed() const { return NextStep; }

bool Typist::FellBack() const { return GaveUp; }

std::vector<TypistStep> OneKeyPerTick(std::initializer_list<int> scancodes) {
    std::vector<TypistStep> script;
    for (int code : scancodes)
        script.push_back({{code}, 1});
    return script;
}

}  // namespace TestSupport
