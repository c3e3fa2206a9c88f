#include "kanji_rom.h"

#include "encoding_set.h"
#include "line_scan.h"
#include "rasterizer.h"

namespace {

constexpr int kanji_cell_size = 16;

void store_glyph(const CellDots& dots, int slot, KanjiImage& image) {
    for (int ty = 0; ty < kanji_cell_size; ++ty) {
        image.left[slot * 16 + ty] |= static_cast<std::uint8_t>(dots.rows[ty] >> 8);
        image.right[slot * 16 + ty] |= static_cast<std::uint8_t>(dots.rows[ty] & 0xFF);
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
        store_glyph(rasterize_glyph(stream, header, kanji_cell_size, kanji_cell_size, nullptr), slot,
                    image);
    }
}

void write_kanji_rom(const KanjiImage& image, OutputFile& file) {
    write_output_bytes(file, image.left, sizeof image.left);
    write_output_bytes(file, image.right, sizeof image.right);
}
