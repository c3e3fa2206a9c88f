// A ROM image as a BDF 2.1 font that font editors open and the converters
// read back into the same image.
//
// - A kanji ROM becomes a font of its glyph size numbered by JIS X 0208:
//   every slot, blank ones too, is a glyph under its kanji's JIS code, so
//   that glyphmill puts each back in its slot and a blank slot comes back
//   blank.
// - A character ROM becomes a font of its cells' glyph rows registered as
//   ISO 10646, so that cells 0x20..0x7E are ASCII: the first set's cells
//   under their own codes, which cellforge -ascii puts back in place (cell
//   0 excepted, as an encoding of 0 never matches), the second set's in
//   the private use area from second_set_private_use_first, which no code
//   table names. The rows below the glyph rows (the mosaic's last rows in
//   CGROM60.66) are left out.
//
// Every glyph has the font's full box, placed so that the converters draw
// it without scaling or shifting: ascent + descent equals the glyph rows,
// and each box starts at the left edge and reaches from the descent line to
// the ascent line.
#pragma once
#include <cstdint>
#include <string>

#include "rom_image.h"

constexpr std::int32_t second_set_private_use_first = 0xE100;

// The encoding of glyph index in the exported font.
std::int32_t bdf_encoding(RomKind kind, int index);

// The box of every exported glyph, as its BBX line gives it: the glyph's
// width and rows, from the left edge and the descent line up.
struct GlyphBox {
    int width;
    int height;
    int x_offset;
    int y_offset;
};
GlyphBox bdf_glyph_box(RomKind kind);

std::string export_bdf(const RomImage& image);
