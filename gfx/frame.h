#ifndef HALTWICK_GFX_FRAME_H
#define HALTWICK_GFX_FRAME_H

namespace Misc {

// Every frame is composed at this size, whatever the window or the screen shows it at: layout
// speaks in these logical pixels, and only the presenter knows the scale.
const int FrameWidth = 800;
const int FrameHeight = 600;

}  // namespace Misc

#endif
