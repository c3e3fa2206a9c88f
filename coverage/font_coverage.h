// What the images made from a font will get, told from the codes of the
// glyphs it draws, in the numbering the converters read it by: the slots
// of "KANJIROM.66" glyphmill fills, the cells of the first set cellforge
// fills (from the code table or, for cells 0x80..0x83, the symbols in
// their place), and the second-set cells of "CGROM66.66" that show the
// placeholder, apart by whether some font could fill them. These are the
// counts romview reports of the images themselves.
#pragma once
#include <cstdint>
#include <vector>

#include "rom_format.h"

struct ImageCoverage {
    int kanji_filled;                     // of kanji_slot_count
    std::vector<int> kanji_missing;       // the blank slots
    int first_set_filled;                 // of bank_cell_count
    int second_set_fillable;              // second-set cells some font, JIS or Unicode, can fill
    std::vector<int> second_set_missing;  // those of them showing the placeholder
    int second_set_unfillable;            // cells the tables name no glyph for: placeholders with every font
};

// codes: ascending, each the code of a glyph with dots in the font's box.
ImageCoverage image_coverage(const std::vector<std::int32_t>& codes, CharsetKind numbering);
