#ifndef HALTWICK_SHELL_FRAMECHANGES_H
#define HALTWICK_SHELL_FRAMECHANGES_H

#include <cstdint>
#include <utility>
#include <vector>

namespace GameShell {

// The frame as a window last showed it, to tell which rows a new frame changes: most frames
// change a line of text or none, and a scaled window then draws and sends only those rows.
struct FrameChanges {
    std::vector<uint16_t> Shown;             // FrameWidth x FrameHeight, black at first
    std::vector<std::pair<int, int>> Runs;  // the last Take's, kept so a frame allocates nothing

    FrameChanges();

    // The runs of frame's rows (FrameHeight rows of FrameWidth 16-bit pixels) that differ from
    // Shown, each first to last - 1, top down, or the whole frame as one run when whole (the
    // window lost its picture); frame is then the one shown. Runs less than a text line apart
    // are one: a few rows more cost less than one more trip to the screen.
    const std::vector<std::pair<int, int>>& Take(const uint16_t* const* frame, bool whole = false);
};

}  // namespace GameShell

#endif
