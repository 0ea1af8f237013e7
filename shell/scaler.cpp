#include "shell/scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "gfx/frame.h"

namespace GameShell {

namespace {

// w / 256 of b and the rest of a, per 8-bit channel of 0x00RRGGBB.
uint32_t Mix(uint32_t a, uint32_t b, int w) {
    uint32_t v = 256 - w;
    uint32_t redBlue = ((a & 0xff00ff) * v + (b & 0xff00ff) * w) >> 8 & 0xff00ff;
    uint32_t green = ((a & 0x00ff00) * v + (b & 0x00ff00) * w) >> 8 & 0x00ff00;
    return redBlue | green;
}

}  // namespace

Scaler::Scaler(int width, int height, std::vector<uint32_t> colours)
    : Width(width), Height(height), Colours(std::move(colours)),
      Columns(Taps(Misc::FrameWidth, width)), Rows(Taps(Misc::FrameHeight, height)),
      Line(Misc::FrameWidth), Wide{std::vector<uint32_t>(width), std::vector<uint32_t>(width)} {}

std::vector<Scaler::Tap> Scaler::Taps(int from, int to) {
    // Blown up by whole blocks to at least the target, the smooth step then never spans more
    // than one block edge per screen pixel.
    int blocks = std::max(1, (to + from - 1) / from);
    int big = from * blocks;
    std::vector<Tap> taps(to);
    for (int i = 0; i < to; ++i) {
        double t = (i + 0.5) * big / to - 0.5;  // the screen pixel's centre on the big image
        int lo = std::clamp(static_cast<int>(std::floor(t)), 0, big - 1);
        int hi = std::min(lo + 1, big - 1);
        Tap& tap = taps[i];
        tap.First = lo / blocks;
        tap.Second = hi / blocks;
        tap.Weight = tap.First == tap.Second ? 0 : static_cast<int>(std::lround((t - lo) * 256));
        if (tap.Weight == 0)
            tap.Second = tap.First;
    }
    return taps;
}

const uint32_t* Scaler::Across(const uint16_t* row, int source) {
    for (int slot = 0; slot < 2; ++slot)
        if (WideRow[slot] == source)
            return Wide[slot].data();
    // Rows are drawn top down, so the older of the two is the one to reuse.
    int slot = WideRow[0] < WideRow[1] ? 0 : 1;
    for (int x = 0; x < Misc::FrameWidth; ++x)
        Line[x] = Colours[row[x]];
    uint32_t* wide = Wide[slot].data();
    for (int x = 0; x < Width; ++x) {
        const Tap& c = Columns[x];
        wide[x] = c.Weight ? Mix(Line[c.First], Line[c.Second], c.Weight) : Line[c.First];
    }
    WideRow[slot] = source;
    return wide;
}

std::pair<int, int> Scaler::ScreenRows(int first, int last) const {
    if (first >= last)
        return {0, 0};
    // Rows' sources only grow down the screen, and a row's Second is never above its First.
    int top = std::partition_point(Rows.begin(), Rows.end(),
                                   [&](const Tap& t) { return t.Second < first; }) - Rows.begin();
    int bottom = std::partition_point(Rows.begin() + top, Rows.end(),
                                      [&](const Tap& t) { return t.First < last; }) - Rows.begin();
    return {top, bottom};
}

void Scaler::Draw(const uint16_t* const* frame, unsigned char* out, int pitch, int top,
                  int bottom) {
    WideRow[0] = WideRow[1] = -1;  // the frame is new
    const unsigned char* previous = nullptr;
    const Tap* previousTap = nullptr;
    size_t bytes = Width * sizeof(uint32_t);
    if (bottom < 0)
        bottom = Height;
    out += size_t(top) * pitch;
    for (int y = top; y < bottom; ++y, out += pitch) {
        const Tap& r = Rows[y];
        // Within a block every row is the same: copy the one above.
        if (previousTap && !r.Weight && !previousTap->Weight && r.First == previousTap->First) {
            std::memcpy(out, previous, bytes);
        } else {
            const uint32_t* a = Across(frame[r.First], r.First);
            if (!r.Weight) {
                std::memcpy(out, a, bytes);
            } else {
                const uint32_t* b = Across(frame[r.Second], r.Second);
                uint32_t* o = reinterpret_cast<uint32_t*>(out);
                for (int x = 0; x < Width; ++x)
                    o[x] = Mix(a[x], b[x], r.Weight);
            }
        }
        previous = out;
        previousTap = &r;
    }
}

}  // namespace GameShell
