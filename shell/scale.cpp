#include "shell/scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gfx/frame.h"

namespace GameShell::Scale {

int Rounded(double desktopScale) {
    if (!(desktopScale >= 1))  // also NaN
        return 1;
    return std::min(Most, static_cast<int>(std::lround(desktopScale)));
}

int Largest(Area work, Frame frame) {
    int room = work.W - frame.Left - frame.Right;
    int roomHigh = work.H - frame.Top - frame.Bottom;
    int k = std::min(room / Misc::FrameWidth, roomHigh / Misc::FrameHeight);
    return std::clamp(k, 1, Most);
}

int Fitted(int wanted, Area work, Frame frame) {
    return std::clamp(wanted, 1, Largest(work, frame));
}

Area Centred(int k, Area work, Frame frame) {
    Area a;
    a.W = k * Misc::FrameWidth;
    a.H = k * Misc::FrameHeight;
    int outerW = a.W + frame.Left + frame.Right;
    int outerH = a.H + frame.Top + frame.Bottom;
    a.X = work.X + (work.W - outerW) / 2 + frame.Left;
    // A window taller than the work area (only at scale 1) hangs from its top, not above it.
    a.Y = work.Y + std::max(0, (work.H - outerH) / 2) + frame.Top;
    return a;
}

Area Fit(int w, int h) {
    Area a;
    if (w * Misc::FrameHeight >= h * Misc::FrameWidth) {  // wider than 4:3: bars left and right
        a.H = h;
        a.W = h * Misc::FrameWidth / Misc::FrameHeight;
    } else {
        a.W = w;
        a.H = w * Misc::FrameHeight / Misc::FrameWidth;
    }
    a.X = (w - a.W) / 2;
    a.Y = (h - a.H) / 2;
    return a;
}

int FromEnvironment(const char* value) {
    if (!value || !*value)
        return 0;
    char* end = nullptr;
    long k = std::strtol(value, &end, 10);
    return *end == '\0' && k >= 1 && k <= Most ? static_cast<int>(k) : 0;
}

}  // namespace GameShell::Scale
