#include "framework/minigamemanager.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "gfx/frame.h"
#include "gfx/misc.h"

namespace MiniGameManagement {

namespace {

// The help page is formatted into this many bytes, the terminating zero included; a longer
// help text is cut.
const int HelpPageSize = 1024;
const char HelpPageFormat[] =
    "Help for %s\n\n%s\n\nPress any key (except F1 or Escape) to continue...\n";

}  // namespace

MiniGameManager::MiniGameManager() { std::srand(std::time(nullptr)); }

MiniGameManager::~MiniGameManager() {
    delete CurGame;
    delete CurInfo;
}

void MiniGameManager::RegisterMiniGame(MiniGames::MiniGameFactory factory) {
    Factories.push_back(factory);
}

void MiniGameManager::NewMiniGame() {
    if (Factories.empty())
        return;
    // Drawn before anything else, the old game's end included.
    unsigned index = static_cast<unsigned>(std::rand()) % Factories.size();
    NewMiniGame(static_cast<int>(index));
}

void MiniGameManager::NewMiniGame(int index) {
    if (index < 0 || index >= static_cast<int>(Factories.size()))
        return;
    EndMiniGame();
    // Held until GetInfo succeeds, so a throw leaves the manager idle rather than half set.
    std::unique_ptr<MiniGames::MiniGame> game(Factories[index]());
    CurInfo = game->GetInfo();
    CurGame = game.release();
    GameActive = true;
}

void MiniGameManager::EndMiniGame() {
    if (!CurGame)
        return;
    LastWon = CurGame->Won;
    LastReward = LastWon ? CurInfo->Worth : 0;
    CurGame->Running = false;
    GameActive = false;
    delete CurGame;
    CurGame = nullptr;
    delete CurInfo;
    CurInfo = nullptr;
}

void MiniGameManager::Tick(int timeLeft) {
    if (!CurGame)
        return;
    if (!ShowHelp) {
        CurGame->Tick(timeLeft);
        if (!CurGame->Running)
            EndMiniGame();
    }
    // Also after the game just ended: the flag then waits for the next game.
    if (key[KEY_F1] && !ShowHelp)
        ShowHelp = true;
    // The key that closes the help is swallowed, it never reaches the game.
    if (ShowHelp && keypressed()) {
        readkey();
        ShowHelp = false;
    }
}

void MiniGameManager::Draw(BITMAP* target) {
    if (!CurGame)
        return;
    CurGame->Draw(target);
    int white = makecol(255, 255, 255);
    int black = makecol(0, 0, 0);
    textprintf_ex(target, font, 0, 0, white, black, "Mini Game: %s", CurInfo->Name.c_str());
    if (!ShowHelp)
        return;

    Misc::Obscure(target);
    // On the stack rather than allocated each frame; the word wrap writes into it.
    char page[HelpPageSize];
    int length = std::snprintf(page, sizeof page, HelpPageFormat, CurInfo->Name.c_str(),
                               CurInfo->Help.c_str());
    // A cut page has lost its closing line feed, and the word wrap draws only lines that end
    // in one: end it here so what fits is still shown.
    if (length >= HelpPageSize)
        page[HelpPageSize - 2] = '\n';
    int bottom = Misc::MGMtextoutWordWrap(target, font, 100, 100, Misc::FrameWidth - 200, Misc::FrameHeight - 200,
                                          white, black, page);
    rect(target, 90, 90, Misc::FrameWidth - 90, bottom + 10, makecol(128, 64, 128));
}

}  // namespace MiniGameManagement
