// The character codes of the target's two character sets and the fonts'
// glyphs that fill their cells (generated from the *.txt tables beside this
// file). Every table has a JIS column and a Unicode column, indexed by
// CharsetKind; a code of 0 names no glyph.
#pragma once
#include <cstdint>

#include "rom_format.h"

constexpr int extra_symbol_count = 4;
constexpr int composite_count = 54;

// code[kind][cell]: the glyph for cell 0..255 of a character set.
struct CodeMap {
    std::int32_t code[2][bank_cell_count];
};

// A second-set cell drawn from two glyphs, each squeezed and shifted.
struct CompositeEntry {
    std::int32_t target;  // cell 0..255 of character set 2
    std::int32_t first_jis;
    std::int32_t first_unicode;
    GlyphTransform first_transform;
    std::int32_t second_jis;
    std::int32_t second_unicode;
    GlyphTransform second_transform;
};

extern const CodeMap set1_code_map;
// code[kind][b]: fallback glyph for first-set cell 0x80 + b.
extern const std::int32_t extra_symbol_map[2][extra_symbol_count];
extern const CodeMap set2_code_map;
extern const CompositeEntry composite_table[composite_count];
