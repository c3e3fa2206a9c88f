// What romview tells of an image: the summary, the codes the font lacked
// in characters (--list), and one cell as text (--text).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "glyph_wants.h"
#include "code_tables.h"
#include "kanji_table.h"
#include "romview_support.h"

namespace {

// The list holds exactly the second-set cells that show the placeholder
// (the blank slots of a kanji ROM), and --list writes no sheet.
TEST(Romview, ListsTheCodesTheSampleFontLacks) {
    ScratchDir dir;
    make_sample_images(dir);
    for (const char* image : {"CGROM60.66", "CGROM66.66", "KANJIROM.66"}) {
        const SplitRun run = run_romview(dir, " " + std::string(image) + " --list");
        EXPECT_EQ(run.status, 0) << image;
        EXPECT_EQ(listed_codes(run.out), expected_list(read_file(dir.file(image)))) << image;
        EXPECT_FALSE(file_exists(dir.file(std::string(image) + ".png"))) << image;
    }
    EXPECT_NE(expected_list(read_file(dir.file("CGROM66.66"))), "");
}

TEST(Romview, SummaryCountsCellsAndWritesTheSheetBesideTheImage) {
    ScratchDir dir;
    make_sample_images(dir);
    const Bytes rom = read_file(dir.file("CGROM66.66"));
    int blank = 0;
    for (int index = 0; index < character_cell_count; ++index) blank += is_blank(rom, index);
    const std::string list = expected_list(rom);
    const std::string counts =
        "cells with dots: " + std::to_string(character_cell_count - blank) + ", blank: " + std::to_string(blank);
    const auto listed = std::count(list.begin(), list.end(), '\n');
    const std::string placeholders = "second-set codes showing the placeholder: " + std::to_string(listed);
    const RunResult run = run_in(dir, romview + " CGROM66.66");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(counts + "\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(placeholders + "\n"), std::string::npos) << run.output;
    EXPECT_GT(read_png(dir.file("CGROM66.66.png")).width, 0);
}

// Only the placeholder's exact bytes, and only in the second set, count.
TEST(Romview, PlaceholderNeedsExactBytesInTheSecondSet) {
    ScratchDir dir;
    std::string rom(character_rom_size, '\0');
    const auto put = [&rom](int cell) {
        std::copy(placeholder_rows, placeholder_rows + cell_bytes, rom.begin() + cell * cell_bytes);
    };
    put(5);            // first set: not listed
    put(second_set_first_cell + 1);
    put(second_set_first_cell + 2);
    rom[(second_set_first_cell + 2) * cell_bytes + 9] = 1;  // one stray dot: not the placeholder
    put(second_set_first_cell + 0xFF);
    write_file(dir.file("made.66"), rom);
    const RunResult run = run_in(dir, romview + " made.66 --list");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(listed_codes(run.output), "0x01\n0xFF\n");
}

struct TextCase {
    const char* name;
    const char* image;
    const char* cell;
    int index;
};

TEST(Romview, TextPrintsTheCellAsRows) {
    ScratchDir dir;
    make_sample_images(dir);
    const TextCase cases[] = {
        {"letter A in decimal", "CGROM60.66", "65", 0x41},
        {"letter A in hex", "CGROM60.66", "0x41", 0x41},
        {"last cell of the second set", "CGROM66.66", "511", character_cell_count - 1},
        {"first kanji", "KANJIROM.66", "0", 0},
        {"last kanji in upper-case hex", "KANJIROM.66", "0X3FF", kanji_slot_count - 1},
    };
    for (const TextCase& c : cases) {
        const RunResult run = run_in(dir, romview + " " + c.image + " --text " + c.cell);
        EXPECT_EQ(run.status, 0) << c.name;
        EXPECT_EQ(run.output, rom_picture(read_file(dir.file(c.image)), c.index)) << c.name;
        EXPECT_FALSE(file_exists(dir.file(std::string(c.image) + ".png"))) << c.name;
    }
}

// Left plane first: bit 7 of the left half is column 0, bit 0 of the right half column 15.
TEST(Romview, KanjiTextJoinsBothPlanes) {
    ScratchDir dir;
    std::string rom(kanji_rom_size, '\0');
    rom[3 * kanji_glyph_size + 2] = static_cast<char>(0x80);
    rom[kanji_plane_size + 3 * kanji_glyph_size + 2] = static_cast<char>(0x01);
    write_file(dir.file("made.66"), rom);
    std::string expected;
    for (int r = 0; r < kanji_glyph_size; ++r) expected += r == 2 ? "#..............#\n" : "................\n";
    EXPECT_EQ(run_in(dir, romview + " made.66 --text 3").output, expected);
}

struct ListLineCase {
    const char* name;
    int code;
    const char* line;
};

// Each line: the code, a tab, which fonts could fill it, a tab, what the
// tables want there.
TEST(Romview, ListPinsTheFormatOfEachKindOfCode) {
    const ListLineCase cases[] = {
        {"named in both numberings, JIS code only in JIS X 0213", 0x2C,
         "0x2C\tany font\t\xE2\x86\x97 U+2197 JIS 2325 (JIS X 0213)"},
        {"JIS code of another character, only in JIS X 0213", 0x70,
         "0x70\tany font\t\xC5\x8B U+014B, JIS 2A79 \xC9\xA1 (JIS X 0213)"},
        {"composite component whose JIS code is another character", 0x78,
         "0x78\tany font\tcomposite of \xCF\x95 U+03D5, JIS 2655 \xCF\x86 and \xEF\xBC\x9A U+FF1A JIS 2127"},
        {"composite of one character in both numberings", 0x6C,
         "0x6C\tany font\tcomposite of \xEF\xBD\x8F U+FF4F JIS 236F and \xEF\xBC\x9A U+FF1A JIS 2127"},
        {"Unicode only", 0x90, "0x90\tUnicode font\t\xEF\xB8\xB5 U+FE35, no JIS code"},
        {"JIS only, composite in both", 0xA7,
         "0xA7\tany font\tJIS 233B (JIS X 0213), no Unicode code point; composite of \xE2\x97\x8B U+25CB JIS 217B and "
         "\xE2\x96\xA0 U+25A0 JIS 2223"},
        {"Unicode direct, composite in both", 0x3A,
         "0x3A\tany font\t\xE2\x92\x91 U+2491, no JIS code; composite of \xEF\xBC\x91 U+FF11 JIS 2331 and "
         "\xEF\xBC\x90 U+FF10 JIS 2330"},
        {"beyond 16 bits", 0x9D, "0x9D\tUnicode font\t\xF0\x9D\x84\x8B U+1D10B, no JIS code"},
        {"named nowhere", 0x26, "0x26\tno font\tno glyph in the tables"},
    };
    ScratchDir dir;
    for (const ListLineCase& c : cases) {
        write_file(dir.file("made.66"), rom_with_placeholders({c.code}));
        const SplitRun run = run_romview(dir, " made.66 --list");
        EXPECT_EQ(run.status, 0) << c.name;
        EXPECT_EQ(run.out, std::string(c.line) + "\n") << c.name;
    }
    std::string kanji(kanji_rom_size, '\xFF');
    for (int slot : {0, 0x3FF}) {
        std::fill_n(kanji.begin() + slot * kanji_glyph_size, kanji_glyph_size, '\0');
        std::fill_n(kanji.begin() + kanji_plane_size + slot * kanji_glyph_size, kanji_glyph_size, '\0');
    }
    write_file(dir.file("kanji.66"), kanji);
    EXPECT_EQ(run_romview(dir, " kanji.66 --list").out,
              "0x000\t\xE6\x84\x9B U+611B JIS 3026\n0x3FF\t\xE8\xA9\xB1 U+8A71 JIS 4F43\n");
}

// The summary counts the codes no font can fill apart from those the font lacked.
TEST(Romview, SummarySeparatesCodesNoFontCanFill) {
    ScratchDir dir;
    write_file(dir.file("made.66"), rom_with_placeholders({0x26, 0x2C, 0x90, 0xBA}));
    const SplitRun run = run_romview(dir, " made.66 -o made.png");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("second-set codes showing the placeholder: 4\n"
                           "  a font could fill them, this font lacked them: 2\n"
                           "    0x2C\tany font\t\xE2\x86\x97 U+2197 JIS 2325 (JIS X 0213)\n"
                           "    0x90\tUnicode font\t\xEF\xB8\xB5 U+FE35, no JIS code\n"
                           "  no font can fill them, the tables name no glyph there: 2\n"
                           "    0x26\tno font\tno glyph in the tables\n"
                           "    0xBA\tno font\tno glyph in the tables\n"),
              std::string::npos)
        << run.out;
}

constexpr int descent = 2;  // rows of the fonts made here below the baseline

std::vector<TestGlyph> solid_glyphs(const std::vector<std::int32_t>& codes, int width, int height) {
    std::vector<TestGlyph> glyphs;
    const std::string row(width / 4, 'F');
    for (std::int32_t code : codes) {
        const std::string box = std::to_string(width) + " " + std::to_string(height) + " 0 " + std::to_string(-descent);
        glyphs.push_back({code, box, std::vector<std::string>(height, row)});
    }
    return glyphs;
}

// Every second-set glyph and composite component the tables name in one
// numbering, deduplicated.
std::vector<std::int32_t> second_set_codes(CharsetKind kind) {
    std::vector<std::int32_t> codes;
    for (std::int32_t code : set2_code_map.code[kind]) codes.push_back(code);
    for (const CompositeEntry& entry : composite_table) {
        codes.push_back(kind == JIS ? entry.first_jis : entry.first_unicode);
        codes.push_back(kind == JIS ? entry.second_jis : entry.second_unicode);
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    codes.erase(std::remove(codes.begin(), codes.end(), 0), codes.end());
    return codes;
}

struct FullFontCase {
    const char* registry;
    CharsetKind kind;
    const char* other_numbering;  // the only fonts that could fill what is left
};

// A font as high as the cells' glyph rows with every second-set glyph its
// numbering can have leaves only the codes the other numbering or no font
// can fill, each named.
TEST(Romview, FontWithEveryGlyphLeavesOnlyCodesItsNumberingCannotFill) {
    const FullFontCase cases[] = {{"JISX0208.1990", JIS, "Unicode font"}, {"ISO10646", UNICODE, "JIS font"}};
    for (const FullFontCase& c : cases) {
        ScratchDir dir;
        const std::vector<TestGlyph> glyphs = solid_glyphs(second_set_codes(c.kind), cell_width, cell_glyph_rows);
        write_file(dir.file("font.bdf"), make_font(c.registry, cell_glyph_rows - descent, descent, glyphs));
        ASSERT_EQ(run_in(dir, std::string(CELLFORGE_PATH) + " font.bdf").status, 0) << c.registry;
        const SplitRun run = run_romview(dir, " CGROM66.66 --list");
        EXPECT_EQ(run.status, 0) << c.registry;
        std::string expected;
        const Bytes rom = read_file(dir.file("CGROM66.66"));
        for (int code = placeholder_first_code; code < bank_cell_count; ++code) {
            const GlyphWant want = glyph_want(RomLayout::two_character_sets, second_set_first_cell + code);
            const Fillable fill = fillable(want);
            if (!shows_placeholder(rom, second_set_first_cell + code)) continue;
            char line[16];
            std::snprintf(line, sizeof line, "0x%02X\t", code);
            expected += line + std::string(fillable_text(fill)) + "\t" + describe_want(want) + "\n";
            EXPECT_TRUE(fill == Fillable::by_no_font || fillable_text(fill) == std::string(c.other_numbering))
                << c.registry << " code " << code << " could be filled but shows the placeholder";
        }
        EXPECT_EQ(run.out, expected) << c.registry;
        EXPECT_NE(run.out.find("\tno font\t"), std::string::npos) << c.registry;
    }
}

// A font with every kanji of the table fills every slot.
TEST(Romview, KanjiFontWithEveryKanjiLeavesNoBlankSlot) {
    ScratchDir dir;
    const std::vector<std::int32_t> codes(kanji_code_map.code[JIS], kanji_code_map.code[JIS] + kanji_slot_count);
    write_file(dir.file("font.bdf"), make_font("JISX0208.1990", kanji_glyph_size - descent, descent,
                                               solid_glyphs(codes, kanji_glyph_size, kanji_glyph_size)));
    ASSERT_EQ(run_in(dir, std::string(GLYPHMILL_PATH) + " font.bdf").status, 0);
    EXPECT_EQ(run_romview(dir, " KANJIROM.66 --list").out, "");
    EXPECT_NE(run_romview(dir, " KANJIROM.66 -o k.png").out.find("\nblank glyph slots: 0\n"), std::string::npos);
}

struct LayoutListCase {
    const char* name;
    int cell;  // gets a dot in row
    int row;
    std::string listed;
};

// A dot below the glyph rows of a second-set cell marks the layout of
// CGROM60.66, which has no second set: cells showing the placeholder are no
// missing codes there, neither listed, nor counted, nor on pale red.
TEST(Romview, MosaicLayoutHasNoSecondSetCodes) {
    const LayoutListCase cases[] = {
        {"no dot beyond the glyph rows", 0x141, cell_glyph_rows - 1, "0x2C\n0x70\n"},
        {"dot beyond the glyph rows of a first-set cell", 0x041, cell_glyph_rows, "0x2C\n0x70\n"},
        {"dot in the first row below the glyph rows of a mosaic cell", 0x101, cell_glyph_rows, ""},
        {"dot in the last row of the last cell", 0x1FF, cell_bytes - 1, ""},
    };
    ScratchDir dir;
    const SheetLayout layout = sheet_layout(RomKind::character, 2);
    for (const LayoutListCase& c : cases) {
        write_file(dir.file("made.66"), changed(rom_with_placeholders({0x2C, 0x70}), c.cell, c.row, '\x01'));
        const SplitRun list = run_romview(dir, " made.66 --list");
        EXPECT_EQ(list.status, 0) << c.name;
        EXPECT_EQ(listed_codes(list.out), c.listed) << c.name;
        const SplitRun summary = run_romview(dir, " made.66 -o made.png");
        const std::string count = std::to_string(c.listed.size() / 5);
        EXPECT_NE(summary.out.find("second-set codes showing the placeholder: " + count + "\n"), std::string::npos)
            << c.name << ": " << summary.out;
        const Colour paper = c.listed.empty() ? paper_colour : placeholder_paper_colour;
        EXPECT_TRUE(square_is(read_png(dir.file("made.png")), dot_pixel(layout, 0x12C, 7, 0), 2, paper)) << c.name;
    }
}

}  // namespace
