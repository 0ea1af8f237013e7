#ifndef HALTWICK_FRAMEWORK_MGMENU_H
#define HALTWICK_FRAMEWORK_MGMENU_H

#include <atomic>
#include <vector>

#include "framework/minigame.h"

struct BITMAP;

namespace MiniGameManagement {

// The chooser menu opened by Tab: lists the games by name and returns the line picked with
// Enter. Modal: it runs its own loop, handing each pass's page to the shell's presenter.
class MGMenu {
public:
    std::vector<MiniGames::MiniGameFactory> Factories;  // line i starts Factories[i]
    // Shows each pass's page: the shell's hook puts it on the screen, waits there while the
    // window is unfocused and answers false when the game must quit, which leaves the menu at
    // once with no choice. None: nothing is shown and the menu never waits.
    bool (*Present)(BITMAP* page) = nullptr;

    explicit MGMenu(std::vector<MiniGames::MiniGameFactory> factories);

    // Runs until Enter is read, taking one pending 1/100 s tick off *ticks per key read (the
    // timer thread keeps adding to it). Returns the selected line at the end of that pass, or
    // -1 when the game must quit; with no games to offer, returns 0 at once. NewMiniGame(int)
    // ignores both of the latter.
    int GetChoice(std::atomic<int>* ticks);

    // Draws one pass's page into page (screen-sized): black, with line i naming infos[i] and
    // the marker on line selected. Called once per pass, so it allocates nothing.
    static void DrawList(BITMAP* page, const std::vector<MiniGames::MiniGameInfo*>& infos,
                         int selected);
};

}  // namespace MiniGameManagement

#endif
