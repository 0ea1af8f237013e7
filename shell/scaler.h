#ifndef HALTWICK_SHELL_SCALER_H
#define HALTWICK_SHELL_SCALER_H

#include <cstdint>
#include <utility>
#include <vector>

namespace GameShell {

// Shows the 16-bit frame at any size in the screen's 32-bit pixels, in one pass that scales
// and converts. Whole-number scales give exact k x k blocks. Any other size is "sharp
// bilinear": as if the frame were first blown up by whole blocks to the next size above and
// then smoothly shrunk, so a pixel edge blends across at most one screen pixel and text stays
// crisp. Made when the size changes (it allocates); Draw allocates nothing.
class Scaler {
public:
    // One screen pixel's source along one axis: Weight / 256 of Second, the rest of First.
    struct Tap {
        int First = 0, Second = 0, Weight = 0;
    };

    int Width, Height;               // the picture on the screen
    std::vector<uint32_t> Colours;   // a frame pixel's screen pixel, 0x00RRGGBB, by 16-bit value
    std::vector<Tap> Columns, Rows;  // the source of each screen column and row
    std::vector<uint32_t> Line;      // one frame row in screen pixels
    std::vector<uint32_t> Wide[2];   // two frame rows scaled across, for blending rows
    int WideRow[2] = {-1, -1};       // which frame row each holds

    Scaler(int width, int height, std::vector<uint32_t> colours);

    // frame: FrameHeight rows of FrameWidth 16-bit pixels. out: Height rows of Width 32-bit
    // pixels, pitch bytes apart, of which only rows top to bottom - 1 are drawn (all of them
    // by default).
    void Draw(const uint16_t* const* frame, unsigned char* out, int pitch, int top = 0,
              int bottom = -1);

    // The screen rows drawn from frame rows first to last - 1, blends included: top to
    // bottom - 1, none when top is bottom.
    std::pair<int, int> ScreenRows(int first, int last) const;

    // The taps that map a source of `from` pixels onto `to` screen pixels.
    static std::vector<Tap> Taps(int from, int to);

private:
    const uint32_t* Across(const uint16_t* row, int source);
};

}  // namespace GameShell

#endif
