// Glyphs fitted to the cell, and what a font's drawn codes fill in each
// image: the rules one row each, on glyphs and code sets made here.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "code_tables.h"
#include "fitting.h"
#include "font_coverage.h"
#include "glyph_wants.h"
#include "kanji_table.h"
#include "summary.h"

namespace {

// A glyph from rows of '#' and '.', all of one width.
GlyphBitmap glyph_of(const std::vector<std::string>& rows, int x_offset, int y_offset) {
    const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    GlyphBitmap glyph = {width, static_cast<int>(rows.size()), x_offset, y_offset, width, {}};
    const std::size_t row_bytes = static_cast<std::size_t>(width + 7) / 8;
    glyph.rows.assign(row_bytes * rows.size(), 0);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < width; ++column) {
            if (rows[row][column] == '#') glyph.rows[row * row_bytes + column / 8] |= 0x80 >> (column % 8);
        }
    }
    return glyph;
}

std::vector<std::string> rows_of(const GlyphBitmap& glyph) {
    std::vector<std::string> rows;
    const std::size_t row_bytes = static_cast<std::size_t>(glyph.width + 7) / 8;
    for (int row = 0; row < glyph.height; ++row) {
        std::string text;
        for (int column = 0; column < glyph.width; ++column) {
            text += (glyph.rows[row * row_bytes + column / 8] >> (7 - column % 8) & 1) ? '#' : '.';
        }
        rows.push_back(text);
    }
    return rows;
}

// A cell 8 dots across, 6 above the baseline and 2 below.
constexpr CellBox cell = {8, 6, 2};

TEST(Fitting, MovesOrCutsGlyphsIntoTheCell) {
    struct Case {
        const char* what_goes_wrong;
        std::vector<std::string> rows;
        int x_offset, y_offset;
        Fit fit;
        std::vector<std::string> expected;  // rows after fitting
        int expected_x, expected_y;
    };
    const Case cases[] = {
        {"glyph inside the cell touched", {"#..", "..."}, 2, 0, Fit::inside, {"#..", "..."}, 2, 0},
        {"left overhang cut instead of moved", {"##", "#."}, -1, 0, Fit::fitted, {"##", "#."}, 0, 0},
        {"right overhang cut instead of moved", {"###"}, 7, 3, Fit::fitted, {"###"}, 5, 3},
        {"blank margin outside kept", {"..#.", "..#."}, -2, 0, Fit::fitted, {"#", "#"}, 0, 0},
        {"glyph above the ascent not moved down", {"#", "#"}, 0, 6, Fit::fitted, {"#", "#"}, 0, 4},
        {"glyph below the descent not moved up", {"#"}, 3, -4, Fit::fitted, {"#"}, 3, -2},
        {"glyph taller than the cell not cut to it",
         {"#", "#", "#", "#", "#", "#", "#", "#", "#", "#"}, 0, -3, Fit::fitted,
         {"#", "#", "#", "#", "#", "#", "#", "#"}, 0, -2},
        {"glyph a dot wider than the cell left out", {"#########"}, 0, 0, Fit::fitted, {"########"}, 0, 0},
        {"blank glyph outside kept its box", {"....", "...."}, 9, 9, Fit::fitted, {}, 0, 0},
    };
    for (const Case& test : cases) {
        GlyphBitmap glyph = glyph_of(test.rows, test.x_offset, test.y_offset);
        EXPECT_EQ(fit_glyph(glyph, cell), test.fit) << test.what_goes_wrong;
        EXPECT_EQ(rows_of(glyph), test.expected) << test.what_goes_wrong;
        EXPECT_EQ(glyph.x_offset, test.expected_x) << test.what_goes_wrong;
        EXPECT_EQ(glyph.y_offset, test.expected_y) << test.what_goes_wrong;
        EXPECT_EQ(glyph.advance, static_cast<int>(test.rows.empty() ? 0 : test.rows[0].size()))
            << test.what_goes_wrong << ": advance changed";
    }
}

// A glyph much wider than the cell would show a fragment: it is left out,
// and its codes go from the font so that a later font can fill them.
TEST(Fitting, LeavesOutGlyphsMostlyOutsideAndTheirCodes) {
    SourceFont font{};
    font.bitmaps.push_back(glyph_of({"############"}, 0, 0));  // 12 across: 8 of 12 dots kept
    font.bitmaps.push_back(glyph_of({"#"}, -3, 0));
    font.bitmaps.push_back(glyph_of({"#"}, 1, 0));
    font.glyphs = {{0x2E3A, 0}, {0x2E3B, 0}, {0x300, 1}, {0x41, 2}, {0x4E00, -1}};
    const FitCounts counts = fit_font(font, cell);
    EXPECT_EQ(counts.fitted, 1);
    EXPECT_EQ(counts.left_out, 2) << "both codes of the wide glyph";
    ASSERT_EQ(font.glyphs.size(), 3u);
    EXPECT_EQ(font.glyphs[0].code, 0x300);
    EXPECT_EQ(font.glyphs[2].code, 0x4E00) << "a glyph read without its bitmap lost";
    EXPECT_EQ(font.bitmaps[1].x_offset, 0);
    GlyphBitmap dot = glyph_of({"#"}, 0, 0);
    EXPECT_EQ(fit_glyph(dot, {8, 0, 0}), Fit::left_out) << "a glyph fitted to a cell of no rows";
}

// What each image gets from a set of codes, against the tables.
TEST(FontCoverage, CountsWhatEachImageGets) {
    const std::int32_t first_kanji = kanji_code_map.code[UNICODE][0];
    const std::int32_t spade_fallback = extra_symbol_map[UNICODE][0];
    const CompositeEntry& composite = composite_table[0];
    const std::int32_t low_component = std::min(composite.first_unicode, composite.second_unicode);
    const std::int32_t high_component = std::max(composite.first_unicode, composite.second_unicode);
    struct Case {
        const char* what_goes_wrong;
        std::vector<std::int32_t> codes;
        CharsetKind numbering;
        int kanji, first_set;
        bool composite_missing;  // composite_table[0]'s cell shows the placeholder
    };
    const Case cases[] = {
        {"something filled from no code", {}, UNICODE, 0, 0, true},
        {"kanji slot missed", {first_kanji}, UNICODE, 1, 0, true},
        {"kanji code read by the other numbering", {first_kanji}, JIS, 0, 0, true},
        {"symbol in place of the spade missed", {spade_fallback}, UNICODE, 0, 1, true},
        {"composite filled from one component", {composite.first_unicode}, UNICODE, 0, 1, true},
        {"composite missed from both components", {low_component, high_component}, UNICODE, 0, 2, false},
    };
    for (const Case& test : cases) {
        const ImageCoverage coverage = image_coverage(test.codes, test.numbering);
        EXPECT_EQ(coverage.kanji_filled, test.kanji) << test.what_goes_wrong;
        EXPECT_EQ(coverage.kanji_filled + static_cast<int>(coverage.kanji_missing.size()), kanji_slot_count);
        EXPECT_EQ(coverage.first_set_filled, test.first_set) << test.what_goes_wrong;
        const std::vector<int>& missing = coverage.second_set_missing;
        EXPECT_EQ(std::count(missing.begin(), missing.end(), composite.target) == 1, test.composite_missing)
            << test.what_goes_wrong;
    }
    const ImageCoverage none = image_coverage({}, JIS);
    EXPECT_EQ(none.second_set_fillable + none.second_set_unfillable, bank_cell_count - drawn_second_set_cells)
        << "a second-set cell counted twice or not at all";
    EXPECT_EQ(static_cast<int>(none.second_set_missing.size()), none.second_set_fillable);
    EXPECT_EQ(missing_code_line(RomLayout::kanji, 0), "0x000\t愛 U+611B JIS 3026");
}

// Only dots between the descent and the ascent reach an image.
TEST(FontCoverage, CountsOnlyGlyphsWithDotsInTheBox) {
    GlyphTable table;
    table[0x41] = std::make_shared<const GlyphBitmap>(glyph_of({"#"}, 0, 0));
    table[0x42] = std::make_shared<const GlyphBitmap>(glyph_of({"."}, 0, 0));
    table[0x43] = std::make_shared<const GlyphBitmap>(glyph_of({"#", "."}, 0, -4));
    table[0x44] = std::make_shared<const GlyphBitmap>(glyph_of({"#"}, 0, 6));
    table[0x45] = std::make_shared<const GlyphBitmap>(glyph_of({"#", "."}, 0, -2));
    EXPECT_EQ(drawn_codes(table, 6, 2), (std::vector<std::int32_t>{0x41, 0x45}));
}

}  // namespace
