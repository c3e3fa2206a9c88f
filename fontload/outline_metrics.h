// The ascent and descent of an outline font rendered at a pixel size.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include "font_source.h"

// The ascent and descent, adding up to pixel_size, in the proportion of the
// OS/2 table's typographic ascender and descender where they span the em,
// as they do in CJK fonts, whose ideographs fill that box; else of the
// face's (the hhea table's), which also make room for accents.
void derive_outline_metrics(FT_Face face, int pixel_size, SourceFont& font);
