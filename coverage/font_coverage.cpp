#include "font_coverage.h"

#include <algorithm>
#include <set>

#include "code_tables.h"
#include "glyph_wants.h"

namespace {

bool has(const std::vector<std::int32_t>& codes, const CodePair& pair, CharsetKind numbering) {
    const std::int32_t code = code_in(pair, numbering);
    return code != 0 && std::binary_search(codes.begin(), codes.end(), code);
}

// glyphmill puts a glyph into the first slot that names its code.
void cover_kanji(const std::vector<std::int32_t>& codes, CharsetKind numbering, ImageCoverage& coverage) {
    std::set<std::int32_t> placed;
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        const CodePair kanji = glyph_want(RomLayout::kanji, slot).direct;
        if (has(codes, kanji, numbering) && placed.insert(code_in(kanji, numbering)).second) {
            ++coverage.kanji_filled;
        } else {
            coverage.kanji_missing.push_back(slot);
        }
    }
}

// A cell of 0x80..0x83 that the table's glyph does not fill takes the
// symbol in its place.
bool first_set_cell_filled(const std::vector<std::int32_t>& codes, CharsetKind numbering, int cell) {
    if (has(codes, glyph_want(RomLayout::two_character_sets, cell).direct, numbering)) return true;
    const int extra = cell - 0x80;
    if (extra < 0 || extra >= extra_symbol_count) return false;
    return has(codes, {extra_symbol_map[JIS][extra], extra_symbol_map[UNICODE][extra]}, numbering);
}

bool second_set_cell_filled(const std::vector<std::int32_t>& codes, CharsetKind numbering, const GlyphWant& want) {
    if (has(codes, want.direct, numbering)) return true;
    return want.composite && has(codes, want.first_component, numbering) &&
           has(codes, want.second_component, numbering);
}

}  // namespace

ImageCoverage image_coverage(const std::vector<std::int32_t>& codes, CharsetKind numbering) {
    ImageCoverage coverage{};
    cover_kanji(codes, numbering, coverage);
    for (int cell = 0; cell < bank_cell_count; ++cell) {
        coverage.first_set_filled += first_set_cell_filled(codes, numbering, cell);
    }
    for (int code = drawn_second_set_cells; code < bank_cell_count; ++code) {
        const GlyphWant want = glyph_want(RomLayout::two_character_sets, second_set_first_cell + code);
        if (fillable(want) == Fillable::by_no_font) {
            ++coverage.second_set_unfillable;
            continue;
        }
        ++coverage.second_set_fillable;
        if (!second_set_cell_filled(codes, numbering, want)) coverage.second_set_missing.push_back(code);
    }
    return coverage;
}
