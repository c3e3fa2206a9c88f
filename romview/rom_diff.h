// Two ROM images of the same kind compared glyph by glyph.
#pragma once
#include "rom_image.h"

struct GlyphDifference {
    int index;  // cell or slot
    int dots;   // dots set in one image only, over all glyph_height stored rows
};

struct RomDifference {
    int count;
    GlyphDifference glyphs[max_glyph_count];
};

// a and b must be of the same kind.
RomDifference compare_roms(const RomImage& a, const RomImage& b);

// The layout by which two images' glyphs are named: the mosaic layout when
// either image has it, as no second-set character belongs there.
RomLayout compared_layout(const RomImage& a, const RomImage& b);
