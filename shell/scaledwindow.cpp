#include "shell/scaledwindow.h"

#include <allegro.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace GameShell::ScaledWindow {

std::unique_ptr<Scaler> FrameScaler(int w, int h) {
    // X's 32-bit visuals and Windows' 32-bit DIBs alike: 0x00RRGGBB.
    std::vector<uint32_t> colours(1 << 16);
    for (int v = 0; v < 1 << 16; ++v)
        colours[v] = uint32_t(getr16(v)) << 16 | uint32_t(getg16(v)) << 8 | uint32_t(getb16(v));
    return std::make_unique<Scaler>(w, h, std::move(colours));
}

}  // namespace GameShell::ScaledWindow
