#ifndef HALTWICK_TESTS_SUPPORT_SCENES_H
#define HALTWICK_TESTS_SUPPORT_SCENES_H

#include <string>
#include <vector>

#include "framework/minigame.h"
#include "shell/run.h"

namespace TestSupport {

// What the frame shows: the train, or one of the mini-games in registration order.
enum class Screen { Main, Alphabet, Arrows, CowBull, NumberLoop, QuickMath };

const Screen AllScreens[] = {Screen::Main,       Screen::Alphabet,  Screen::Arrows,
                             Screen::CowBull,    Screen::NumberLoop, Screen::QuickMath};
// The screens that can have the help overlay.
const Screen GameScreens[] = {Screen::Alphabet, Screen::Arrows, Screen::CowBull,
                              Screen::NumberLoop, Screen::QuickMath};

// "Main", "Alphabet", ... for reports.
const char* ScreenName(Screen screen);
// The screen's name, with "+Help" for its help overlay.
std::string SceneName(Screen screen, bool help);

// A run as main makes it, put into a realistic mid-run state for one screen, for the
// benchmarks and the allocation test. The clock reads as a second into a run that has used
// 100 s; rand() is reseeded with a fixed value so the same scene is built every time.
// The state of each game, and of the train, is one a player can reach:
//  - Main: the train at 120 MPH, its track half-way through a phase;
//  - Alphabet at 'm', Arrows at its 8th arrow, Quick Math at its 6th problem half typed;
//  - Cows and Bulls with 80 scored guesses, more than its table shows, and 2 digits typed;
//  - Number Loop one swap from solved with the slot empty, so the solved check that runs
//    every tick scans furthest.
// Needs the library up with an 800 x 600 16-bit mode. Resets the clock globals.
class Scene {
public:
    GameShell::Run Run;

    explicit Scene(Screen screen, bool help = false);
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Runs n logic ticks, typing before each one the next key of this screen's key cycle:
    // keys the game reads and acts on without winning, ending or starting anything, so the
    // state stays the same kind of state however long it runs.
    void Tick(int n);

private:
    std::vector<int> Keys;  // readkey values, typed one per tick in turn
    size_t NextKey = 0;
};

// The chooser menu's page as one pass draws it: one game and record per registered factory,
// made as GetChoice makes them, with the third line selected. Owns them.
class MenuScene {
public:
    std::vector<MiniGames::MiniGame*> Games;
    std::vector<MiniGames::MiniGameInfo*> Infos;
    int Selected = 2;

    explicit MenuScene(const std::vector<MiniGames::MiniGameFactory>& factories);
    ~MenuScene();
    MenuScene(const MenuScene&) = delete;
    MenuScene& operator=(const MenuScene&) = delete;
};

// Ends scene's run as stopped and composes its last frame, which the end screen lays its box
// over.
void EndRun(Scene& scene);

}  // namespace TestSupport

#endif
