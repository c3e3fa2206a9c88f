// The glyphs of the font written, gathered from the input fonts in turn:
// each later font only fills codes the earlier ones lack.
#pragma once
#include <cstdint>
#include <map>
#include <memory>

#include "font_source.h"
#include "numbering.h"

// Each code's glyph, its box as its own font gives it: glyphs of every
// font stand on the one baseline. The table holds its own copies, shared
// by the codes that show the same glyph, so that a font can go once merged.
using GlyphTable = std::map<std::int64_t, std::shared_ptr<const GlyphBitmap>>;

struct MergeCounts {
    int taken;    // glyphs placed under codes the table lacked
    int aliases;  // glyphs also placed under the other code point of a variant pair
    int dropped;  // glyphs without a code in the written numbering
    int present;  // glyphs whose code an earlier font (or glyph) already filled
};

// Adds the glyphs of font that fill codes the table lacks. In Unicode output
// and unless aliases is false, a glyph present under only one code point of
// a variant pair is then also placed under the other. A glyph the font was
// read without (see FontRequest) counts as present.
MergeCounts merge_font(GlyphTable& table, const SourceFont& font, SourceNumbering numbering,
                       Numbering output, bool aliases);

// Whether a glyph of code in a font numbered so would fill a code the
// table lacks: the glyphs worth reading from a later font.
bool fills_missing_code(const GlyphTable& table, SourceNumbering numbering, std::int64_t code, Numbering output);
