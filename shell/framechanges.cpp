#include "shell/framechanges.h"

#include <cstring>

#include "gfx/frame.h"

namespace GameShell {

namespace {

const int Gap = 8;  // rows between two runs that keep them apart: a line of the font

}  // namespace

FrameChanges::FrameChanges() : Shown(Misc::FrameWidth * Misc::FrameHeight) {}

std::vector<std::pair<int, int>> FrameChanges::Take(const uint16_t* const* frame) {
    const size_t bytes = Misc::FrameWidth * sizeof(uint16_t);
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < Misc::FrameHeight; ++y) {
        uint16_t* shown = &Shown[size_t(y) * Misc::FrameWidth];
        if (std::memcmp(shown, frame[y], bytes) == 0)
            continue;
        std::memcpy(shown, frame[y], bytes);
        if (!runs.empty() && y - runs.back().second < Gap)
            runs.back().second = y + 1;
        else
            runs.emplace_back(y, y + 1);
    }
    return runs;
}

}  // namespace GameShell
