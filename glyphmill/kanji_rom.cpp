#include "kanji_rom.h"

#include "encoding_set.h"
#include "line_scan.h"
#include "rasterizer.h"

namespace {

void store_glyph(const CellDots& dots, int slot, KanjiImage& image) {
    for (int ty = 0; ty < kanji_glyph_size; ++ty) {
        image.planes[0][slot * kanji_glyph_size + ty] |= static_cast<std::uint8_t>(dots.rows[ty] >> 8);
        image.planes[1][slot * kanji_glyph_size + ty] |= static_cast<std::uint8_t>(dots.rows[ty] & 0xFF);
    }
}

}  // namespace

int find_kanji_slot(const std::int32_t* table, std::int32_t encoding) {
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        if (table[slot] == encoding) return slot;
    }
    return -1;
}

void collect_kanji_glyphs(FontStream& stream, const FontHeader& header, const std::int32_t* table,
                          KanjiImage& image) {
    static EncodingSet wanted;
    wanted = EncodingSet{};
    for (int slot = 0; slot < kanji_slot_count; ++slot) add_encoding(wanted, table[slot]);
    char line[line_capacity];
    int matched = 0;
    while (matched < kanji_slot_count && read_line(stream, line)) {
        std::int32_t encoding;
        if (!scan_keyword_number(line, "ENCODING", encoding) || !may_be_wanted(wanted, encoding)) continue;
        const int slot = find_kanji_slot(table, encoding);
        if (slot < 0) continue;
        ++matched;
        store_glyph(rasterize_glyph(stream, header, kanji_glyph_size, kanji_glyph_size, nullptr), slot, image);
    }
}
