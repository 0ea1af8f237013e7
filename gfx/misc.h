#ifndef HALTWICK_GFX_MISC_H
#define HALTWICK_GFX_MISC_H

struct BITMAP;
struct FONT;

namespace Misc {

// Draws text word-wrapped into the box (x, y, w wide) and returns the y just below the last
// line drawn. Only lines ended by '\n' are drawn; words split on blanks only, and the hard
// blank 0xB7 joins words but is drawn as a blank. h is accepted and ignored: long text runs on
// below the box. Consumes text (writes zeros and blanks into it) and uses strtok, so it is not
// reentrant. bg must be a real colour: it paints the glyph cells and the end-of-line fills.
int MGMtextoutWordWrap(BITMAP* bmp, FONT* font, int x, int y, int w, int h, int color, int bg,
                       char* text);

// Turns bmp into a mosaic of ~3-pixel blocks in place, so text drawn over it stands out.
// Leaves bmp unchanged when it is under 3 pixels on a side or no scratch bitmap can be made.
void Obscure(BITMAP* bmp);

}  // namespace Misc

#endif
