#include "framework/mgmenu.h"

#include <allegro.h>

#include <utility>

#include "gfx/frame.h"

namespace MiniGameManagement {

MGMenu::MGMenu(std::vector<MiniGames::MiniGameFactory> factories)
    : Factories(std::move(factories)) {}

int MGMenu::GetChoice(std::atomic<int>* ticks) {
    int count = static_cast<int>(Factories.size());
    // Nothing to pick: waiting for Enter on a black screen would only trap the player.
    if (count == 0)
        return 0;

    // One instance per game only to read its name; constructing it may draw from rand().
    std::vector<MiniGames::MiniGame*> games;
    std::vector<MiniGames::MiniGameInfo*> infos;
    for (MiniGames::MiniGameFactory factory : Factories) {
        games.push_back(factory());
        infos.push_back(games.back()->GetInfo());
    }
    BITMAP* page = create_bitmap(Misc::FrameWidth, Misc::FrameHeight);
    // The Tab that opened the menu and anything typed before it must not move the selection.
    clear_keybuf();

    int selected = 0;
    bool chosen = false;
    while (!chosen) {
        // Keys are paced by the timer: one read per pending tick, and Enter does not stop
        // the pass, so keys behind it in this pass still move the selection.
        while (*ticks > 0) {
            poll_keyboard();
            if (keypressed()) {
                switch (readkey() >> 8) {
                case KEY_UP:
                    if (selected > 0)
                        --selected;
                    break;
                case KEY_DOWN:
                    if (selected < count - 1)
                        ++selected;
                    break;
                case KEY_ENTER:
                    chosen = true;
                    break;
                }
            }
            --*ticks;
        }

        DrawList(page, infos, selected);
        if (Present && !Present(page)) {
            selected = -1;
            break;
        }
    }

    for (int i = 0; i < count; ++i) {
        delete infos[i];
        delete games[i];
    }
    destroy_bitmap(page);
    return selected;
}

void MGMenu::DrawList(BITMAP* page, const std::vector<MiniGames::MiniGameInfo*>& infos,
                      int selected) {
    int white = makecol(255, 255, 255);
    int black = makecol(0, 0, 0);
    int lineHeight = text_height(font);
    clear_bitmap(page);
    for (int i = 0; i < static_cast<int>(infos.size()); ++i)
        textprintf_ex(page, font, 15, 15 + i * lineHeight, white, black, "%s %s",
                      i == selected ? "-->" : "  ", infos[i]->Name.c_str());
}

}  // namespace MiniGameManagement
