#include "tests/support/scenes.h"

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "framework/minigamemanager.h"
#include "minigames/alphabet.h"
#include "minigames/arrows.h"
#include "minigames/cowbull.h"
#include "minigames/numberloop.h"
#include "minigames/quickmath.h"
#include "tests/support/clockreset.h"

namespace TestSupport {

namespace {

// The Number Loop's goal read clockwise from the left end of the middle row, as its help
// picture shows it.
const int LoopGoal[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 20, 19, 18, 17, 16, 15, 14, 13, 12, 10};

int Typed(int scancode, int ascii = 0) { return scancode << 8 | ascii; }

// Position in the shell's registration order.
int GameIndex(Screen screen) {
    return static_cast<int>(screen) - static_cast<int>(Screen::Alphabet);
}

void SetUpCowBull(MiniGames::CowBull& game) {
    const int hidden[4] = {1, 2, 3, 4};
    std::copy(hidden, hidden + 4, game.Hidden);
    // Guesses spread over all four-digit numbers; none is the secret, so none wins.
    for (int i = 0; i < 80; ++i) {
        int number = (i * 7919 + 1357) % 10000;
        int guess[4] = {number / 1000, number / 100 % 10, number / 10 % 10, number % 10};
        game.Guesses.push_back(MiniGames::ScoreGuess(hidden, guess));
    }
    game.Guess[0] = 5;
    game.Guess[1] = 6;
    game.GuessPos = 2;
}

void SetUpNumberLoop(MiniGames::NumberLoop& game) {
    // The goal at a rotation, with its last two numbers swapped.
    for (int i = 0; i < 20; ++i)
        game.Board[(i + 7) % 20] = LoopGoal[i];
    std::swap(game.Board[(18 + 7) % 20], game.Board[(19 + 7) % 20]);
    game.Num = 0;
    game.Pos = 3;
}

// Keys each screen's game reads and acts on without leaving its kind of state: a wrong letter,
// a key that is no arrow, a non-digit, turns and a swap undone, digits and wrong answers.
std::vector<int> KeyCycle(Screen screen) {
    switch (screen) {
    case Screen::Main:
        return {};  // the shell reads held keys only
    case Screen::Alphabet:
        return {Typed(KEY_Q, 'q')};
    case Screen::Arrows:
        return {Typed(KEY_X, 'x')};
    case Screen::CowBull:
        return {Typed(KEY_X, 'x')};
    case Screen::NumberLoop:
        return {Typed(KEY_LEFT), Typed(KEY_RIGHT), Typed(KEY_SPACE, ' '), Typed(KEY_SPACE, ' ')};
    case Screen::QuickMath:
        return {Typed(KEY_7, '7'), Typed(KEY_7, '7'), Typed(KEY_ENTER, '\r'),
                Typed(KEY_BACKSPACE, 8)};
    }
    return {};
}

}  // namespace

const char* ScreenName(Screen screen) {
    switch (screen) {
    case Screen::Main:
        return "Main";
    case Screen::Alphabet:
        return "Alphabet";
    case Screen::Arrows:
        return "Arrows";
    case Screen::CowBull:
        return "CowBull";
    case Screen::NumberLoop:
        return "NumberLoop";
    case Screen::QuickMath:
        return "QuickMath";
    }
    return "?";
}

std::string SceneName(Screen screen, bool help) {
    return std::string(ScreenName(screen)) + (help ? "+Help" : "");
}

Scene::Scene(Screen screen, bool help) : Run(create_bitmap(SCREEN_W, SCREEN_H)) {
    ResetClock();
    std::srand(1);
    FPS = 950;
    SElapsed = 100;
    TimerActive = !help;
    Run.Train.Speed = 60;
    Run.Train.Distance = 150;
    clear_keybuf();
    if (screen == Screen::Main)
        return;

    Run.InGame = true;
    MiniGameManagement::MiniGameManager& manager = *Run.Manager;
    manager.NewMiniGame(GameIndex(screen));
    manager.ShowHelp = help;
    MiniGames::MiniGame* game = manager.CurGame;
    switch (screen) {
    case Screen::Main:
        break;
    case Screen::Alphabet:
        static_cast<MiniGames::Alphabet*>(game)->Letter = 'm';
        break;
    case Screen::Arrows:
        static_cast<MiniGames::Arrows*>(game)->Count = 7;
        break;
    case Screen::CowBull:
        SetUpCowBull(*static_cast<MiniGames::CowBull*>(game));
        break;
    case Screen::NumberLoop:
        SetUpNumberLoop(*static_cast<MiniGames::NumberLoop*>(game));
        break;
    case Screen::QuickMath: {
        auto& math = *static_cast<MiniGames::QuickMath*>(game);
        math.Solved = 5;
        math.CurProb = new MiniGames::QuickMath_Problem("123 + 45", 168);
        math.Input = 16;
        break;
    }
    }
    // A key typed while the help is up would close it.
    if (!help)
        Keys = KeyCycle(screen);
}

void Scene::Tick(int n) {
    for (int i = 0; i < n; ++i) {
        if (!Keys.empty()) {
            simulate_keypress(Keys[NextKey]);
            NextKey = (NextKey + 1) % Keys.size();
        }
        Run.Tick();
    }
}

MenuScene::MenuScene(const std::vector<MiniGames::MiniGameFactory>& factories) {
    for (MiniGames::MiniGameFactory factory : factories) {
        Games.push_back(factory());
        Infos.push_back(Games.back()->GetInfo());
    }
}

MenuScene::~MenuScene() {
    for (size_t i = 0; i < Games.size(); ++i) {
        delete Infos[i];
        delete Games[i];
    }
}

void EndRun(Scene& scene) {
    scene.Run.Train.Speed = 0;
    scene.Run.Finished = true;
    scene.Run.Won = true;
    scene.Run.ComposeFrame();
}

}  // namespace TestSupport
