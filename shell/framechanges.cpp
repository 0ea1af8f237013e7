#include "shell/framechanges.h"

#include <cstring>

#include "gfx/frame.h"

namespace GameShell {

namespace {

const int Gap = 8;  // rows between two runs that keep them apart: a line of the font

}  // namespace

FrameChanges::FrameChanges() : Shown(Misc::FrameWidth * Misc::FrameHeight) {}

const std::vector<std::pair<int, int>>& FrameChanges::Take(const uint16_t* const* frame,
                                                          bool whole) {
    const size_t bytes = Misc::FrameWidth * sizeof(uint16_t);
    Runs.clear();
    for (int y = 0; y < Misc::FrameHeight; ++y) {
        uint16_t* shown = &Shown[size_t(y) * Misc::FrameWidth];
        if (std::memcmp(shown, frame[y], bytes) == 0)
            continue;
        std::memcpy(shown, frame[y], bytes);
        if (!Runs.empty() && y - Runs.back().second < Gap)
            Runs.back().second = y + 1;
        else
            Runs.emplace_back(y, y + 1);
    }
    if (whole)
        Runs.assign(1, {0, Misc::FrameHeight});
    return Runs;
}

}  // namespace GameShell
