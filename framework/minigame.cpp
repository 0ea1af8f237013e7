#include "framework/minigame.h"

#include <utility>

namespace MiniGames {

MiniGameInfo::MiniGameInfo(std::string name, std::string help, int worth)
    : Name(std::move(name)), Help(std::move(help)), Worth(worth) {}

bool MiniGame::StillPlaying(int timeLeft) {
    if (timeLeft < 1)
        Running = false;
    return Running;
}

void MiniGame::Win() {
    Running = false;
    Won = true;
}

}  // namespace MiniGames
