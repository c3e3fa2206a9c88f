// Glyphs fitted to the cell of the font written, so that the converters
// place them well: they take the font's width from the extremes of all
// glyph boxes and its height from the ascent and descent, so one glyph
// reaching outside widens (and squeezes) every glyph, and rows outside the
// ascent and descent are lost.
#pragma once
#include "font_source.h"

// The cell: columns 0 .. width - 1 from the origin, rows from -descent up
// to ascent - 1 about the baseline.
struct CellBox {
    int width;
    int ascent;
    int descent;
};

enum class Fit { inside, fitted, left_out };

// A glyph whose box lies in the cell is left as it is. Another loses its
// blank margins; then on each axis the dots are moved inside the cell where
// they fit, and where they are wider or taller than the cell they are moved
// to cover it and cut to it. A glyph that loses more than a quarter of its
// dots across is left out: the converters would show a fragment of it.
Fit fit_glyph(GlyphBitmap& glyph, const CellBox& cell);

struct FitCounts {
    int fitted;    // glyph images moved or cut into the cell
    int left_out;  // codes whose glyph was left out
};

// Fits every glyph image of the font; the codes whose glyph is left out
// are removed from font.glyphs, so that a later font may fill them.
FitCounts fit_font(SourceFont& font, const CellBox& cell);
