// Random keys, held keys and clock values fed to each mini-game and to the manager, with the
// rules every one of them keeps checked after each step, whatever the player does.
//
// Input: the target (a game's registration index, or 5 for the manager with all five), a
// 16-bit seed for rand(), then steps, each an opcode byte and its operands.
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "framework/minigamemanager.h"
#include "minigames/alphabet.h"
#include "minigames/arrows.h"
#include "minigames/cowbull.h"
#include "minigames/numberloop.h"
#include "minigames/quickmath.h"
#include "tests/support/keys.h"
#include "tests/support/xserver.h"

namespace {

using namespace MiniGames;

const MiniGameFactory Factories[] = {Alphabet::Factory, Arrows::Factory, CowBull::Factory,
                                     NumberLoop::Factory, QuickMath::Factory};
const int ManagerTarget = 5;
const int MaxDraws = 4;  // drawing is slow next to ticking; a few per input find what it can

BITMAP* Frame = nullptr;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : Data(data), Size(size) {}
    bool Empty() const { return Pos >= Size; }
    int Byte() { return Pos < Size ? Data[Pos++] : 0; }
    int Word() { return static_cast<int16_t>(Byte() | Byte() << 8); }

private:
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

// Quick Math's problem says what it asks: its text computes to its answer.
void CheckProblem(const QuickMath_Problem& p) {
    std::istringstream text(p.Text);
    int a, b;
    char op;
    Check(static_cast<bool>(text >> a >> op >> b), "problem text unreadable");
    int answer = op == '+' ? a + b : op == '-' ? a - b : a * b;
    Check(answer == p.Answer, "problem answer differs from its text");
    Check(op == '*' ? a >= 1 && a <= 10 && b >= 1 && b <= 10
                    : a >= 1 && a <= 400 && b >= 1 && b <= 200 && b <= a,
          "problem operands out of range");
}

// What holds for a game between two ticks; before is the game as it was after the last one.
struct GameState {
    bool Running = true, Won = false;
    size_t Guesses = 0;
};

void CheckGame(MiniGame* g, GameState& before) {
    Check(!(g->Won && g->Running), "won while still running");
    Check(before.Running || (!g->Running && g->Won == before.Won), "a finished game changed");
    if (auto* a = dynamic_cast<Alphabet*>(g)) {
        Check(a->Letter >= 'a' && a->Letter <= '{', "Letter out of a..{");
        Check(a->Won == (a->Letter == '{'), "Alphabet won without z, or not with it");
    } else if (auto* r = dynamic_cast<Arrows*>(g)) {
        Check(r->Count >= 0 && r->Count <= 20, "Arrows Count out of 0..20");
        Check(r->Arrow >= KEY_LEFT && r->Arrow <= KEY_DOWN, "Arrow is no arrow key");
        Check(r->Won == (r->Count == 20), "Arrows won without 20, or not with it");
    } else if (auto* c = dynamic_cast<CowBull*>(g)) {
        Check(c->GuessPos >= 0 && c->GuessPos <= 3, "GuessPos out of 0..3");
        for (int k = 0; k < 4; ++k) {
            Check(c->Hidden[k] >= 0 && c->Hidden[k] <= 9, "secret digit out of 0..9");
            Check(c->Guess[k] >= 0 && c->Guess[k] <= 9, "guess digit out of 0..9");
            Check(k < c->GuessPos || c->Guess[k] == 0, "untyped guess digit not 0");
        }
        Check(c->Guesses.size() <= before.Guesses + 1, "more than one guess in a tick");
        for (const CowBull_Guess& guess : c->Guesses)
            Check(guess.Number >= 0 && guess.Number <= 9999 && guess.Cows >= 0 &&
                      guess.Bulls >= 0 && guess.Cows + guess.Bulls <= 4,
                  "scored guess out of range");
        Check(c->Won == (!c->Guesses.empty() && c->Guesses.back().Bulls == 4),
              "Cows and Bulls won without four bulls, or not with them");
        before.Guesses = c->Guesses.size();
    } else if (auto* n = dynamic_cast<NumberLoop*>(g)) {
        int seen[21] = {};
        for (int v : n->Board)
            Check(v >= 0 && v <= 20 && ++seen[v] == 1, "loop value out of 0..20 or twice");
        Check(n->Num >= 0 && n->Num <= 20 && ++seen[n->Num] == 1, "held value out of range or twice");
        Check(n->Pos >= 0 && n->Pos <= 19, "Pos out of 0..19");
    } else if (auto* q = dynamic_cast<QuickMath*>(g)) {
        Check(q->Input >= 0, "Quick Math entry negative");
        Check(q->Solved >= 0 && q->Solved <= 11, "Solved out of 0..11");
        Check(q->Won == (q->Solved == 11), "Quick Math won without eleven, or not with them");
        Check(!q->Won || !q->CurProb, "a won game kept its problem");
        if (q->CurProb)
            CheckProblem(*q->CurProb);
    }
    before.Running = g->Running;
    before.Won = g->Won;
}

void CheckManager(const MiniGameManagement::MiniGameManager& m) {
    Check(!m.CurGame == !m.CurInfo, "CurGame and CurInfo not both set or both null");
    Check(m.GameActive == (m.CurGame != nullptr), "GameActive differs from CurGame");
    Check(!m.CurGame || m.CurGame->Running, "a finished game left running in the manager");
    Check(m.LastReward == 0 || m.LastWon, "a reward without a win");
    static const int Worths[] = {0, 10, 25, 55, 80};
    Check(std::count(std::begin(Worths), std::end(Worths), m.LastReward) == 1,
          "LastReward is no game's worth");
}

// Key steps shared by both targets; false when op is not one of them.
bool KeyStep(int op, Input& in) {
    switch (op) {
    case 0: {  // a key press into the buffer, as readkey() returns it
        int scancode = in.Byte() % KEY_MAX;
        TestSupport::TypeKey(scancode, in.Byte());
        return true;
    }
    case 1:  // a key held down, or let go, in the key-state table
    case 2: {
        int code = in.Byte() % KEY_MAX;
        key[code] = _key[code] = op == 1;
        return true;
    }
    case 3:
        clear_keybuf();
        return true;
    }
    return false;
}

// Ticks: one with any clock value, or a run with time to spare.
int TicksAndTime(int op, Input& in, int* timeLeft) {
    if (op == 4) {
        *timeLeft = in.Word();
        return 1;
    }
    *timeLeft = 366;
    return in.Byte() % 32 + 1;
}

void FuzzGame(int index, Input& in) {
    std::unique_ptr<MiniGame> game(Factories[index]());
    GameState state;
    CheckGame(game.get(), state);
    int draws = 0;
    while (!in.Empty()) {
        int op = in.Byte() % 7;
        if (KeyStep(op, in))
            continue;
        if (op == 6) {
            if (draws++ < MaxDraws)
                game->Draw(Frame);
            continue;
        }
        int timeLeft;
        for (int n = TicksAndTime(op, in, &timeLeft); n > 0; --n) {
            game->Tick(timeLeft);
            CheckGame(game.get(), state);
        }
    }
}

void FuzzManager(Input& in, unsigned seed) {
    MiniGameManagement::MiniGameManager manager;
    srand(seed);  // the manager seeded from the time; inputs must replay alike
    for (MiniGameFactory factory : Factories)
        manager.RegisterMiniGame(factory);
    CheckManager(manager);
    GameState state;
    int draws = 0;
    while (!in.Empty()) {
        int op = in.Byte() % 10;
        MiniGame* was = manager.CurGame;
        if (KeyStep(op, in)) {
        } else if (op == 6) {
            if (draws++ < MaxDraws)
                manager.Draw(Frame);
        } else if (op == 7) {
            manager.NewMiniGame();
        } else if (op == 8) {
            manager.NewMiniGame(in.Byte() % 5);
        } else if (op == 9) {
            manager.EndMiniGame();
        } else {
            int timeLeft;
            for (int n = TicksAndTime(op, in, &timeLeft); n > 0; --n) {
                MiniGame* ticked = manager.CurGame;
                manager.Tick(timeLeft);
                if (ticked && manager.CurGame)
                    CheckGame(manager.CurGame, state);
                CheckManager(manager);
            }
        }
        if (manager.CurGame != was)
            state = GameState();
        CheckManager(manager);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The keyboard needs a display: a private X server, stopped at exit after the library.
    static TestSupport::XServer server;
    if (server.Display.empty())
        std::abort();
    setenv("DISPLAY", server.Display.c_str(), 1);
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0 || install_keyboard() != 0 ||
        install_timer() != 0)
        std::abort();
    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 800, 600, 0, 0) != 0)
        std::abort();
    Frame = create_bitmap(SCREEN_W, SCREEN_H);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    int target = in.Byte() % 6;
    unsigned seed = static_cast<unsigned>(in.Byte() | in.Byte() << 8);
    TestSupport::ClearKeys();
    clear_bitmap(Frame);
    srand(seed);
    if (target == ManagerTarget)
        FuzzManager(in, seed);
    else
        FuzzGame(target, in);
    TestSupport::ClearKeys();
    return 0;
}
