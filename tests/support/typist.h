#ifndef HALTWICK_TESTS_SUPPORT_TYPIST_H
#define HALTWICK_TESTS_SUPPORT_TYPIST_H

#include <atomic>
#include <vector>

namespace TestSupport {

// One step of a script: keys pressed together (scancodes), then that many ticks made pending
// at once.
struct TypistStep {
    std::vector<int> Keys;
    int Ticks = 1;
};

// Plays the timer and the player for a modal loop that empties the keyboard buffer on entry
// and then takes one pending tick per key read (the chooser menu). It starts with one tick
// pending and no key, and plays each step only once the loop has used up every pending tick,
// so keys never arrive before the loop's own clear_keybuf() or while it reads. When the
// script is spent and the loop still runs, it waits ~2 s and then presses Enter, so a faulty
// loop fails its test instead of hanging it. onStep, if given, runs on the timer thread before
// each step. One Typist at a time.
class Typist {
public:
    Typist(std::atomic<int>* ticks, std::vector<TypistStep> script, void (*onStep)() = nullptr);
    ~Typist();
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    // Steps played so far.
    int StepsPlayed() const;
    // True once the Typist had to press Enter itself.
    bool FellBack() const;
};

// The script "each key alone with one tick".
std::vector<TypistStep> OneKeyPerTick(std::initializer_list<int> scancodes);

}  // namespace TestSupport

#endif
