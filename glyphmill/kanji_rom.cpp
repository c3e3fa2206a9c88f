#include "kanji_rom.h"

#include <algorithm>

#include "keyword_pieces.h"
#include "rasterizer.h"

namespace {

struct KanjiPass {
    FontStream& stream;
    const FontHeader& header;
    const std::int32_t* table;
    const EncodingSet& wanted;
    KanjiImage& image;
    int matched;
    std::int64_t read_up_to;  // where the last glyph drawn ended
};

void store_glyph(const CellDots& dots, int slot, KanjiImage& image) {
    for (int ty = 0; ty < kanji_glyph_size; ++ty) {
        image.planes[0][slot * kanji_glyph_size + ty] |= static_cast<std::uint8_t>(dots.rows[ty] >> 8);
        image.planes[1][slot * kanji_glyph_size + ty] |= static_cast<std::uint8_t>(dots.rows[ty] & 0xFF);
    }
}

// The glyph of an ENCODING piece after which its lines begin at glyph_start.
void take_glyph(KanjiPass& pass, std::int32_t encoding, std::int64_t glyph_start) {
    if (!may_be_wanted(pass.wanted, encoding)) return;
    const int slot = find_kanji_slot(pass.table, encoding);
    if (slot < 0) return;
    ++pass.matched;
    seek(pass.stream, glyph_start);
    store_glyph(rasterize_glyph(pass.stream, pass.header, kanji_glyph_size, kanji_glyph_size, nullptr), slot,
                pass.image);
    pass.read_up_to = tell(pass.stream);
}

}  // namespace

int find_kanji_slot(const std::int32_t* table, std::int32_t encoding) {
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        if (table[slot] == encoding) return slot;
    }
    return -1;
}

void add_kanji_encodings(EncodingSet& wanted) {
    for (const auto& column : kanji_code_map.code) {
        for (const std::int32_t code : column) add_encoding(wanted, code);
    }
}

void collect_kanji_glyphs(FontStream& stream, const FontHeader& header, const GlyphRecord& record,
                          const std::int32_t* table, KanjiImage& image) {
    static EncodingSet wanted;
    wanted = EncodingSet{};
    for (int slot = 0; slot < kanji_slot_count; ++slot) add_encoding(wanted, table[slot]);
    KanjiPass pass{stream, header, table, wanted, image, 0, 0};
    for (int i = 0; i < record.count && pass.matched < kanji_slot_count; ++i) {
        // An ENCODING line among the lines of the glyph drawn before is passed over.
        if (record.glyph_start[i] > pass.read_up_to) take_glyph(pass, record.encoding[i], record.glyph_start[i]);
    }
    if (!record.full) return;
    seek(stream, std::max(pass.read_up_to, record.unrecorded));
    std::int32_t encoding;
    while (pass.matched < kanji_slot_count && read_next_encoding(stream, encoding)) {
        take_glyph(pass, encoding, tell(stream));
    }
}
