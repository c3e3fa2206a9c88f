#include "collect_glyphs.h"

#include "encoding_set.h"
#include "font_header.h"
#include "keyword_pieces.h"
#include "rasterizer.h"

namespace {

constexpr int extra_symbol_first_cell = 0x80;
// 256 direct codes and the 4 extra symbols: nothing is left to place.
constexpr int all_placed = bank_cell_count + extra_symbol_count;

struct PassState {
    bool done[bank_cell_count];  // the code has its direct glyph
    int placed;                  // direct and extra placements
    bool extra_placed[extra_symbol_count];
    bool first_drawn[composite_count];
    bool second_drawn[composite_count];
};

struct PassSetup {
    bool ascii_mode;
    const std::int32_t* codes;   // the map's column for the font
    const std::int32_t* extras;  // null when not used
    const CompositeEntry* composites;
    CharsetKind charset;
};

struct Target {
    int cell;  // -1 for none
    const GlyphTransform* transform;
};

void clear_glyph_rows(std::uint8_t* cell) {
    for (int r = 0; r < cell_glyph_rows; ++r) cell[r] = 0;
}

int find_direct_code(const PassState& state, const PassSetup& setup, std::int32_t encoding) {
    if (encoding == 0) return -1;
    for (int c = 0; c < bank_cell_count; ++c) {
        if (state.done[c]) continue;
        if (setup.ascii_mode ? c == encoding : setup.codes[c] == encoding) return c;
    }
    return -1;
}

int find_extra_symbol(const PassSetup& setup, std::int32_t encoding) {
    for (int b = 0; b < extra_symbol_count; ++b) {
        if (setup.extras[b] == encoding) return b;
    }
    return -1;
}

std::int32_t first_code(const CompositeEntry& entry, CharsetKind charset) {
    return charset == JIS ? entry.first_jis : entry.first_unicode;
}

std::int32_t second_code(const CompositeEntry& entry, CharsetKind charset) {
    return charset == JIS ? entry.second_jis : entry.second_unicode;
}

// The first composite entry, in table order, that still wants this glyph as
// a component; its first component before its second.
Target find_component(PassState& state, const PassSetup& setup, std::int32_t encoding) {
    for (int i = 0; i < composite_count; ++i) {
        const CompositeEntry& entry = setup.composites[i];
        if (state.done[entry.target]) continue;
        if (!state.first_drawn[i] && first_code(entry, setup.charset) == encoding) {
            state.first_drawn[i] = true;
            return {entry.target, &entry.first_transform};
        }
        if (!state.second_drawn[i] && second_code(entry, setup.charset) == encoding) {
            state.second_drawn[i] = true;
            return {entry.target, &entry.second_transform};
        }
    }
    return {-1, nullptr};
}

// Where the glyph of this encoding goes next, marking that use as made.
Target find_target(PassState& state, const PassSetup& setup, std::int32_t encoding, CellBank bank) {
    const int code = find_direct_code(state, setup, encoding);
    if (code >= 0) {
        state.done[code] = true;
        ++state.placed;
        // A fallback that got here first gives way to the direct glyph.
        if (!cell_is_blank(bank[code])) clear_glyph_rows(bank[code]);
        return {code, nullptr};
    }
    if (!setup.ascii_mode && setup.extras != nullptr) {
        const int b = find_extra_symbol(setup, encoding);
        if (b >= 0 && !state.extra_placed[b] && cell_is_blank(bank[extra_symbol_first_cell + b])) {
            state.extra_placed[b] = true;
            ++state.placed;
            return {extra_symbol_first_cell + b, nullptr};
        }
    }
    if (setup.composites != nullptr) return find_component(state, setup, encoding);
    return {-1, nullptr};
}

// Every encoding that could find a target in this pass.
void add_setup_encodings(const PassSetup& setup, EncodingSet& wanted) {
    for (int c = 0; c < bank_cell_count; ++c) add_encoding(wanted, setup.ascii_mode ? c : setup.codes[c]);
    if (!setup.ascii_mode && setup.extras != nullptr) {
        for (int b = 0; b < extra_symbol_count; ++b) add_encoding(wanted, setup.extras[b]);
    }
    if (setup.composites == nullptr) return;
    for (int i = 0; i < composite_count; ++i) {
        add_encoding(wanted, first_code(setup.composites[i], setup.charset));
        add_encoding(wanted, second_code(setup.composites[i], setup.charset));
    }
}

void or_dots(const CellDots& dots, std::uint8_t* cell) {
    for (int ty = 0; ty < cell_glyph_rows; ++ty) {
        cell[ty] |= static_cast<std::uint8_t>(dots.rows[ty] >> (max_cell_size - cell_width));
    }
}

PassSetup setup_for(const PassTables& tables, CharsetKind charset) {
    return {tables.ascii_mode, tables.code_map->code[charset],
            tables.extras != nullptr ? tables.extras[charset] : nullptr, tables.composites, charset};
}

struct Pass {
    FontStream& stream;
    const FontHeader& header;
    const PassSetup& setup;
    const EncodingSet& wanted;
    CellBank bank;
    PassState state;
};

// Draws the glyph whose lines begin at glyph_start into every cell that
// still wants it.
void take_glyph(Pass& pass, std::int32_t encoding, std::int64_t glyph_start) {
    if (!may_be_wanted(pass.wanted, encoding)) return;
    while (pass.state.placed < all_placed) {
        const Target target = find_target(pass.state, pass.setup, encoding, pass.bank);
        if (target.cell < 0) return;
        seek(pass.stream, glyph_start);
        or_dots(rasterize_glyph(pass.stream, pass.header, cell_width, cell_glyph_rows, target.transform),
                pass.bank[target.cell]);
    }
}

// A composite shows both of its components or nothing.
void clear_incomplete_composites(const PassState& state, const CompositeEntry* composites, CellBank bank) {
    for (int i = 0; i < composite_count; ++i) {
        const int target = composites[i].target;
        if (!state.done[target] && !(state.first_drawn[i] && state.second_drawn[i])) {
            clear_glyph_rows(bank[target]);
        }
    }
}

}  // namespace

PassTables first_set_tables(bool ascii_mode) {
    return {&set1_code_map, extra_symbol_map, nullptr, ascii_mode};
}

PassTables second_set_tables() {
    return {&set2_code_map, nullptr, composite_table, false};
}

void add_wanted_encodings(const PassTables& tables, EncodingSet& wanted) {
    add_setup_encodings(setup_for(tables, JIS), wanted);
    add_setup_encodings(setup_for(tables, UNICODE), wanted);
}

void collect_glyphs(FontStream& stream, const FontHeader& header, const GlyphRecord& record,
                    const PassTables& tables, CellBank bank) {
    const PassSetup setup = setup_for(tables, header.charset);
    static EncodingSet wanted;
    wanted = EncodingSet{};
    add_setup_encodings(setup, wanted);
    Pass pass{stream, header, setup, wanted, bank, {}};
    for (int i = 0; i < record.count && pass.state.placed < all_placed; ++i) {
        take_glyph(pass, record.encoding[i], record.glyph_start[i]);
    }
    if (record.full) {
        seek(stream, record.unrecorded);
        std::int32_t encoding;
        while (pass.state.placed < all_placed && read_next_encoding(stream, encoding)) {
            const std::int64_t glyph_start = tell(stream);
            take_glyph(pass, encoding, glyph_start);
            seek(stream, glyph_start);
        }
    }
    if (tables.composites != nullptr) clear_incomplete_composites(pass.state, tables.composites, bank);
}
