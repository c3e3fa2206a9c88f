// Properties of the character-set tables that the glyph collection pass
// relies on.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "code_tables.h"

namespace {

constexpr int jis = 0;
constexpr int unicode = 1;

std::vector<int> cells_holding(const CodeMap& map, int kind, std::int32_t code) {
    std::vector<int> cells;
    for (int cell = 0; cell < bank_cell_count; ++cell)
        if (map.code[kind][cell] == code) cells.push_back(cell);
    return cells;
}

int nonzero_count(const CodeMap& map, int kind) {
    return bank_cell_count - static_cast<int>(cells_holding(map, kind, 0).size());
}

// The composite entry whose cell is target; composite_count when none.
int composite_for(int target) {
    int entry = 0;
    while (entry < composite_count && composite_table[entry].target != target) ++entry;
    return entry;
}

bool same_transform(const GlyphTransform& a, const GlyphTransform& b) {
    return a.x_scale == b.x_scale && a.x_offset == b.x_offset && a.y_scale == b.y_scale &&
           a.y_offset == b.y_offset;
}

TEST(CodeTables, SecondSetCellCountsPerColumn) {
    EXPECT_EQ(nonzero_count(set2_code_map, jis), 166);
    EXPECT_EQ(nonzero_count(set2_code_map, unicode), 189);
}

TEST(CodeTables, IdeographicSpaceFillsTheSameEightFirstSetCells) {
    const std::vector<int> blank_cells = {0x00, 0x20, 0x60, 0x7F, 0x90, 0xA0, 0xFE, 0xFF};
    EXPECT_EQ(cells_holding(set1_code_map, jis, 0x2121), blank_cells);
    EXPECT_EQ(cells_holding(set1_code_map, unicode, 0x3000), blank_cells);
}

// One glyph feeding several second-set cells; the JIS column names the same
// mark in as many cells, except where it has no code for it.
TEST(CodeTables, SecondSetGlyphsShared) {
    const struct {
        const char* mark;
        std::int32_t jis_code;
        std::int32_t unicode_code;
        std::size_t cells;
    } cases[] = {
        {"black circle", 0x217C, 0x25CF, 12}, {"double vertical line", 0x2142, 0x2016, 10},
        {"overline", 0x2131, 0x203E, 6},      {"full-width low line", 0x2132, 0xFF3F, 6},
        {"black square", 0x2223, 0x25A0, 5},  {"multiplication sign", 0x215F, 0x00D7, 5},
        {"solidus", 0x213F, 0xFF0F, 4},       {"reverse solidus", 0x2140, 0xFF3C, 4},
        {"equals sign", 0x2161, 0xFF1D, 4},   {"left double angle", 0x2154, 0x300A, 3},
        {"right double angle", 0x2155, 0x300B, 3}, {"anchor", 0, 0x2693, 2},
    };
    for (const auto& shared : cases) {
        EXPECT_EQ(cells_holding(set2_code_map, unicode, shared.unicode_code).size(), shared.cells)
            << shared.mark << " (Unicode)";
        if (shared.jis_code != 0) {
            EXPECT_EQ(cells_holding(set2_code_map, jis, shared.jis_code).size(), shared.cells)
                << shared.mark << " (JIS)";
        }
    }
}

TEST(CodeTables, ExtraSymbolsNeverTakenByFirstSetMap) {
    for (int kind : {jis, unicode})
        for (int b = 0; b < extra_symbol_count; ++b)
            EXPECT_TRUE(cells_holding(set1_code_map, kind, extra_symbol_map[kind][b]).empty())
                << "extra symbol " << b << " of kind " << kind << " is also a first-set code";
}

TEST(CodeTables, OnlyThreeCodesBeyondSixteenBits) {
    std::vector<int> wide_cells;
    for (int cell = 0; cell < bank_cell_count; ++cell) {
        EXPECT_LE(set1_code_map.code[unicode][cell], 0xFFFF) << "set 1 cell " << cell;
        if (set2_code_map.code[unicode][cell] > 0xFFFF) wide_cells.push_back(cell);
    }
    EXPECT_EQ(wide_cells, (std::vector<int>{0x9D, 0x9F, 0xBF}));
    EXPECT_EQ(set2_code_map.code[unicode][0x9D], 0x1D10B);
    EXPECT_EQ(set2_code_map.code[unicode][0x9F], 0x1D10C);
    EXPECT_EQ(set2_code_map.code[unicode][0xBF], 0x1F6E7);
}

TEST(CodeTables, TwoDigitNumbersOnlyFromCompositesInJisFonts) {
    for (int target : {0x3A, 0x3B, 0x3C}) {
        EXPECT_LT(composite_for(target), composite_count) << "no composite for cell " << target;
        EXPECT_EQ(set2_code_map.code[jis][target], 0) << "JIS code at cell " << target;
        EXPECT_NE(set2_code_map.code[unicode][target], 0) << "no Unicode code at cell " << target;
    }
}

TEST(CodeTables, CompositeTargetsDistinct) {
    std::set<int> targets;
    for (const CompositeEntry& entry : composite_table) {
        EXPECT_TRUE(entry.target >= 0 && entry.target < bank_cell_count) << entry.target;
        EXPECT_TRUE(targets.insert(entry.target).second) << "target " << entry.target << " repeated";
    }
}

// Entries naming one glyph twice with one transform place a single drawing.
TEST(CodeTables, CompositesThatDrawOneGlyph) {
    std::vector<int> single;
    for (const CompositeEntry& entry : composite_table) {
        if (entry.first_jis == entry.second_jis && entry.first_unicode == entry.second_unicode &&
            same_transform(entry.first_transform, entry.second_transform))
            single.push_back(entry.target);
    }
    EXPECT_EQ(single, (std::vector<int>{0x5E, 0x6E, 0x6F, 0x95, 0x96, 0xBF}));
}

TEST(CodeTables, TransformsAreTheWrittenDecimals) {
    const GlyphTransform& squeezed = composite_table[composite_for(0x61)].first_transform;
    EXPECT_EQ(squeezed.x_scale, 1.33) << "not the double nearest 1.33";
    EXPECT_EQ(squeezed.x_offset, 0.167);
    EXPECT_EQ(squeezed.y_scale, 1.33);
    EXPECT_EQ(squeezed.y_offset, -0.167);
    EXPECT_NE(squeezed.x_scale, 4.0 / 3.0);
    EXPECT_NE(squeezed.x_offset, 1.0 / 6.0);
    EXPECT_EQ(composite_table[composite_for(0x83)].first_transform.y_offset, -0.4);
}

}  // namespace
