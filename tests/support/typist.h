#ifndef HALTWICK_TESTS_SUPPORT_TYPIST_H
#define HALTWICK_TESTS_SUPPORT_TYPIST_H

#include <atomic>
#include <vector>

namespace TestSupport {

// One step of a script: keys typed together (readkey values, scancode << 8 | ascii), then
// that many ticks made pending at once.
struct TypistStep {
    std::vector<int> Keys;
    int Ticks = 1;
};

// Plays the timer and a typist for a modal loop that clears the keyboard buffer on entry and
// then takes one pending tick per key (the chooser menu). Starts with one pending tick and no
// key; each later step runs only once the loop has worked off every pending tick, so no key
// can arrive before the loop's own clear_keybuf(). After the script it types Enter until the
// loop returns, so a faulty loop cannot hang the test. onStep, if given, runs on the timer
// thread before each step. One Typist at a time.
class Typist {
public:
    Typist(std::atomic<int>* ticks, std::vector<TypistStep> script, void (*onStep)() = nullptr);
    ~Typist();
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    // Steps played so far, the warm-up tick not counted.
    int StepsPlayed() const;
};

// The script "each key alone with one tick".
std::vector<TypistStep> OneKeyPerTick(std::initializer_list<int> keys);

}  // namespace TestSupport

#endif
