// The glyph collection pass on fonts written by the test, cell by cell.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cell_image.h"
#include "code_tables.h"
#include "collect_glyphs.h"
#include "glyph_record.h"
#include "test_support.h"

namespace {

enum class Bank { first_set, second_set };

struct PassCase {
    const char* name;
    std::string font;
    Bank bank;
    bool ascii_mode;
    std::map<int, std::string> cells;  // every other cell must stay blank
};

// An 8 x 10 glyph filling the whole cell, every row `row`.
TestGlyph cell_glyph(int encoding, const std::string& row) {
    return {encoding, "8 10 0 -2", std::vector<std::string>(10, row)};
}

std::string font_8x10(const std::string& registry, const std::vector<TestGlyph>& glyphs) {
    return make_font(registry, 8, 2, glyphs);
}

// Ten rows of the same eight dots.
std::string uniform(const std::string& row) {
    std::string picture;
    for (int r = 0; r < 10; ++r) picture += row + "\n";
    return picture;
}

// font with text inserted before the first line that begins with marker.
std::string with_line_before(const std::string& font, const std::string& marker, const std::string& text) {
    const std::size_t at = font.find("\n" + marker) + 1;
    return font.substr(0, at) + text + (text.back() == '\n' ? "" : "\n") + font.substr(at);
}

// ENCODING lines of Ａ's Unicode code, which a JIS font's pass does not
// use, enough to fill the glyph record.
std::string record_filler() {
    std::string lines;
    for (int i = 0; i < glyph_record_capacity + 1; ++i) lines += "ENCODING 65313\n";
    return lines;
}

CellImage run_pass(const PassCase& c) {
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, c.font);
    CellImage image{};
    const bool first = c.bank == Bank::first_set;
    const PassTables tables = first ? first_set_tables(c.ascii_mode) : second_set_tables();
    static EncodingSet wanted;
    static GlyphRecord glyphs;
    wanted = EncodingSet{};
    add_wanted_encodings(tables, wanted);
    const HeaderScan scan = scan_font_header(stream, c.ascii_mode, wanted, glyphs);
    EXPECT_EQ(scan.error, FontError::none) << c.name;
    collect_glyphs(stream, scan.header, glyphs, tables, first_bank(image));
    close_font_stream(stream);
    return image;
}

// JIS codes in a font are written in decimal.
constexpr int ideographic_space = 0x2121, fullwidth_a = 0x2361, fullwidth_capital_a = 0x2341;
constexpr int spade = 0x263A, black_diamond = 0x263C, diamond_extra = 0x2221;
constexpr int digit_0 = 0x2330, digit_1 = 0x2331, circumflex = 0x2130, a_circumflex = 0x2958, colon = 0x2127;

std::map<int, std::string> same_picture(const std::vector<int>& cells, const std::string& picture) {
    std::map<int, std::string> map;
    for (int cell : cells) map[cell] = picture;
    return map;
}

TEST(CollectGlyphs, FillsCellsAsTheTablesSay) {
    const PassCase cases[] = {
        {"one glyph feeds the eight ideographic-space cells", font_8x10("JISX0208", {cell_glyph(ideographic_space, "18")}),
         Bank::first_set, false, same_picture({0x00, 0x20, 0x60, 0x7F, 0x90, 0xA0, 0xFE, 0xFF}, uniform("...##..."))},
        {"Unicode ideographic space likewise", font_8x10("ISO10646", {cell_glyph(0x3000, "18")}),
         Bank::first_set, false, same_picture({0x00, 0x20, 0x60, 0x7F, 0x90, 0xA0, 0xFE, 0xFF}, uniform("...##..."))},
        {"direct glyph beats the extra symbol that comes first",
         font_8x10("JISX0208", {cell_glyph(diamond_extra, "F0"), cell_glyph(black_diamond, "0F")}),
         Bank::first_set, false, {{0x83, uniform("....####")}}},
        {"direct glyph beats the extra symbol that comes later",
         font_8x10("JISX0208", {cell_glyph(black_diamond, "0F"), cell_glyph(diamond_extra, "F0")}),
         Bank::first_set, false, {{0x83, uniform("....####")}}},
        {"extra symbol fills a cell the font leaves blank",
         font_8x10("JISX0208", {cell_glyph(diamond_extra, "F0"), cell_glyph(spade, "0F")}),
         Bank::first_set, false, {{0x83, uniform("####....")}, {0x80, uniform("....####")}}},
        {"first of two glyphs with one encoding serves",
         font_8x10("JISX0208", {cell_glyph(fullwidth_capital_a, "80"), cell_glyph(fullwidth_capital_a, "01")}),
         Bank::first_set, false, {{0x41, uniform("#.......")}}},
        {"encoding 0 matches no code, not even in ASCII mode", font_8x10("JISX0208", {cell_glyph(0, "FF")}),
         Bank::first_set, true, {}},
        {"ASCII mode: encoding 65 to cell 65 only, no extras",
         font_8x10("KOI8", {cell_glyph(65, "81"), cell_glyph(diamond_extra, "FF"), cell_glyph(ideographic_space, "FF")}),
         Bank::first_set, true, {{65, uniform("#......#")}}},
        {"composite missing its second component is blank; one glyph twice at half width",
         font_8x10("JISX0208", {cell_glyph(digit_1, "3C")}), Bank::second_set, false,
         {{0x31, uniform("..####..")}, {0x3B, uniform(".##..##.")}}},
        {"composite of two digits side by side",
         font_8x10("JISX0208", {cell_glyph(digit_1, "FF"), cell_glyph(digit_0, "FF")}), Bank::second_set, false,
         {{0x30, uniform("########")}, {0x31, uniform("########")}, {0x3A, uniform("########")}, {0x3B, uniform("########")}}},
        {"two ENCODING lines before one glyph both take it",
         with_line_before(font_8x10("JISX0208", {cell_glyph(fullwidth_a, "81")}), "BBX", "ENCODING " + std::to_string(fullwidth_capital_a)),
         Bank::first_set, false, {{0x41, uniform("#......#")}, {0x61, uniform("#......#")}}},
        {"glyphs after more wanted ENCODING lines than the record holds",
         with_line_before(font_8x10("JISX0208", {cell_glyph(fullwidth_a, "81"), cell_glyph(fullwidth_capital_a, "18")}),
                          "STARTCHAR", record_filler()),
         Bank::first_set, false, {{0x41, uniform("...##...")}, {0x61, uniform("#......#")}}},
        {"a target the map fills directly gets only the direct glyph",
         font_8x10("JISX0208", {cell_glyph(fullwidth_a, "C0"), cell_glyph(circumflex, "30"), cell_glyph(a_circumflex, "01")}),
         Bank::second_set, false, {{0x40, uniform(".......#")}, {0x60, uniform("##......")}}},
    };
    for (const PassCase& c : cases) {
        const CellImage image = run_pass(c);
        for (int cell = 0; cell < 256; ++cell) {
            const auto expected = c.cells.find(cell);
            const std::string picture = draw_byte_cell(image.cells[cell], 16);
            const std::string wanted = (expected == c.cells.end() ? uniform("........") : expected->second) +
                                       "........\n........\n........\n........\n........\n........\n";
            EXPECT_EQ(picture, wanted) << c.name << ", cell 0x" << std::hex << cell;
        }
    }
}

// With a 16 x 16 font the first component of entry 0 is drawn at x scale 3
// (grid columns 3tx..3tx+2) and the second at grid column 32 with x scale 6.
TEST(CollectGlyphs, CompositeComponentsOfA16DotFont) {
    const std::vector<std::string> edges(16, "8001");
    const std::string font = make_font("JISX0208", 14, 2, {{fullwidth_a, "16 16 0 -2", edges}, {colon, "16 16 0 -2", edges}});
    const CellImage image = run_pass({"entry 0", font, Bank::second_set, false, {}});
    EXPECT_EQ(draw_byte_cell(image.cells[0x66], 10), uniform("#....#.#"));
}

}  // namespace
