#include "rom_diff.h"

#include <bit>

namespace {

int differing_dots(const GlyphDots& a, const GlyphDots& b) {
    int dots = 0;
    for (int y = 0; y < glyph_height; ++y) dots += std::popcount(static_cast<unsigned>(a.rows[y] ^ b.rows[y]));
    return dots;
}

}  // namespace

RomDifference compare_roms(const RomImage& a, const RomImage& b) {
    RomDifference difference{};
    for (int index = 0; index < kind_facts(a.kind).glyph_count; ++index) {
        const int dots = differing_dots(glyph_dots(a, index), glyph_dots(b, index));
        if (dots > 0) difference.glyphs[difference.count++] = {index, dots};
    }
    return difference;
}

RomLayout compared_layout(const RomImage& a, const RomImage& b) {
    const RomLayout layout = rom_layout(a);
    return layout == RomLayout::two_character_sets ? rom_layout(b) : layout;
}
