// What the code tables want in each glyph of a ROM image, in characters:
// the glyph a JIS-numbered and a Unicode-numbered font would put there and,
// for a second-set cell, the two components of a composite. The tables are
// the generated data of romformat/, linked in, never copied; romview names
// an image's missing glyphs with them, fontprep a font's.
//
// The tables differ between the numberings, and an image does not say which
// one its font used, so a code is judged for both: which fonts could fill it
// at all (the tables name a glyph, or both components of a composite, in
// that numbering). A JIS code is told with its own character, through the
// standard JIS X 0208 map or else the JIS X 0213 one (the generated
// jis_unicode_map), where that is not the Unicode column's character, and
// marked where only JIS X 0213 has it, as no JIS X 0208 font can fill it.
//
// The mosaic_cell_count cells from mosaic_first_cell of an image of the
// mosaic layout want the block mosaic the converter draws, the cells after
// them nothing.
#pragma once
#include <cstdint>
#include <string>

#include "rom_format.h"

// What the glyphs of an image are. A character ROM holds two character sets,
// or, in "CGROM60.66", the first set and the block mosaic; a kanji ROM its
// kanji.
enum class RomLayout { two_character_sets, first_set_and_mosaic, kanji };

// A glyph named in both numberings; 0 where a numbering has none.
struct CodePair {
    std::int32_t jis;
    std::int32_t unicode;
};

// The pair's code in a font numbered by kind.
std::int32_t code_in(const CodePair& pair, CharsetKind kind);

// What a glyph of the image's layout holds: a character of the tables, a
// cell of the generated block mosaic, or nothing.
enum class GlyphUse { character, block_mosaic, nothing };

struct GlyphWant {
    GlyphUse use;
    CodePair direct;  // for a character
    bool composite;  // a second-set cell drawn from two glyphs
    CodePair first_component;
    CodePair second_component;
};

enum class Fillable { by_any_font, by_jis_font, by_unicode_font, by_no_font };

// Glyph index of an image of this layout: a cell of a character ROM, a slot
// of a kanji ROM.
GlyphWant glyph_want(RomLayout layout, int index);

Fillable fillable(const GlyphWant& want);

// "any font", "JIS font", "Unicode font" or "no font".
const char* fillable_text(Fillable fill);

// The wanted glyphs in words, e.g. "Ω U+03A9 JIS 2638", "ŋ U+014B, JIS 2A79
// ɡ (JIS X 0213)", "⑱ U+2491, no JIS code", "composite of ａ U+FF41 JIS 2361
// and ： U+FF1A JIS 2127", "no glyph in the tables", "block mosaic", or ""
// for a cell that holds nothing.
std::string describe_want(const GlyphWant& want);

// A missing glyph as romview lists it: "0x4F<TAB>any font<TAB>Ω U+03A9 JIS
// 2638" for code 0x4F of the second set of a character ROM (layout
// two_character_sets), "0x14E<TAB>左 U+5DE6 JIS 3A38" for slot 0x14E of a
// kanji ROM.
std::string missing_code_line(RomLayout layout, int code);

// A code point as UTF-8; empty for a value that is no code point.
std::string utf8(std::int32_t code_point);
