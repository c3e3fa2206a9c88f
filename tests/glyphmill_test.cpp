// glyphmill run on fonts written by the test: image bytes, messages and
// exit statuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "glyph_record.h"
#include "kanji_table.h"
#include "rom_format.h"
#include "test_support.h"

namespace {

const std::string glyphmill = GLYPHMILL_PATH;
constexpr std::size_t image_size = kanji_rom_size;
constexpr std::size_t plane = kanji_plane_size;

// A 16 x 16 glyph whose rows are all `row` (four hex digits).
TestGlyph kanji(int encoding, const std::string& row = "FFFF") {
    return {encoding, "16 16 0 -2", std::vector<std::string>(16, row)};
}

std::string jis_font(const std::vector<TestGlyph>& glyphs) {
    return make_font("JISX0208.1990", 14, 2, glyphs);
}

bool slot_blank(const Bytes& image, int slot) {
    for (int r = 0; r < 16; ++r) {
        if (image[slot * 16 + r] != 0 || image[plane + slot * 16 + r] != 0) return false;
    }
    return true;
}

std::string draw_slot(const Bytes& image, int slot) {
    std::uint16_t rows[16];
    for (int r = 0; r < 16; ++r) rows[r] = static_cast<std::uint16_t>(image[slot * 16 + r] << 8 | image[plane + slot * 16 + r]);
    return draw_rows(rows, 16, 16);
}

Bytes run_on_font(const std::string& font, RunResult* result = nullptr) {
    ScratchDir dir;
    write_file(dir.file("font.bdf"), font);
    const RunResult run = run_in(dir, glyphmill + " font.bdf");
    if (result != nullptr) *result = run;
    return read_file(dir.file("KANJIROM.66"));
}

std::vector<int> blank_slots(const Bytes& image) {
    std::vector<int> blank;
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        if (slot_blank(image, slot)) blank.push_back(slot);
    }
    return blank;
}

// One glyph for each slot's kanji, under its code in the given numbering;
// the glyph's rows spell the slot number, so a kanji in the wrong slot shows.
std::vector<TestGlyph> every_kanji(int kind) {
    std::vector<TestGlyph> glyphs;
    char row[8];
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        std::snprintf(row, sizeof row, "%04X", 0x8000 | slot);
        glyphs.push_back(kanji(kanji_code_map.code[kind][slot], row));
    }
    return glyphs;
}

TEST(Glyphmill, FirstSlotInBothPlanes) {
    RunResult run;
    const Bytes image = run_on_font(jis_font({kanji(12326, "8001")}), &run);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    ASSERT_EQ(image.size(), image_size);
    for (std::size_t i = 0; i < image_size; ++i) {
        const std::uint8_t expected = i < 16 ? 0x80 : (i >= plane && i < plane + 16) ? 0x01 : 0;
        ASSERT_EQ(image[i], expected) << "byte " << i;
    }
}

TEST(Glyphmill, UnicodeFontFillsSlotZeroFromU611B) {
    const Bytes image = run_on_font(make_font("ISO10646", 14, 2, {kanji(24859)}));
    ASSERT_EQ(image.size(), image_size);
    EXPECT_EQ(blank_slots(image).size(), 1023u);
    EXPECT_FALSE(slot_blank(image, 0));
}

TEST(Glyphmill, EveryKanjiFillsItsOwnSlotInEitherNumbering) {
    const Bytes jis = run_on_font(jis_font(every_kanji(0)));
    const Bytes unicode = run_on_font(make_font("ISO10646", 14, 2, every_kanji(1)));
    ASSERT_EQ(jis.size(), image_size);
    EXPECT_EQ(blank_slots(jis), std::vector<int>{});
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        ASSERT_EQ(jis[slot * 16], 0x80 | slot >> 8) << "slot " << slot;
        ASSERT_EQ(jis[plane + slot * 16], slot & 0xFF) << "slot " << slot;
    }
    EXPECT_TRUE(jis == unicode) << "a Unicode font fills other slots than the same font numbered by JIS";
}

TEST(Glyphmill, SameEncodingTwiceGivesTheUnionOfBothGlyphs) {
    const Bytes image = run_on_font(jis_font({kanji(12326, "8000"), kanji(12326, "0001")}));
    std::string both_glyphs;
    for (int r = 0; r < 16; ++r) both_glyphs += "#..............#\n";
    EXPECT_EQ(draw_slot(image, 0), both_glyphs);
}

TEST(Glyphmill, StopsAfter1024MatchedGlyphs) {
    std::vector<TestGlyph> glyphs(1024, kanji(12326, "0000"));
    glyphs.push_back(kanji(12326, "FFFF"));
    glyphs.push_back(kanji(12333, "FFFF"));  // slot 1, never reached
    const Bytes image = run_on_font(jis_font(glyphs));
    EXPECT_EQ(blank_slots(image).size(), 1024u);
}

// Reading goes on after the lines a glyph is drawn from, so an ENCODING
// line among them starts no glyph of its own.
TEST(Glyphmill, EncodingLinesAmongAGlyphsLinesArePassedOver) {
    const std::string font = jis_font({kanji(12326, "8001"), kanji(12341, "8001")});
    const std::size_t slot_0_box = font.find("BBX");
    const Bytes image = run_on_font(font.substr(0, slot_0_box) + "ENCODING 12333\n" + font.substr(slot_0_box));
    EXPECT_EQ(blank_slots(image).size(), 1022u);
    EXPECT_TRUE(slot_blank(image, 1)) << "slot 1's ENCODING line lies among slot 0's lines";
    EXPECT_FALSE(slot_blank(image, 2)) << "slot 2 follows the glyph of slot 0";
}

// More wanted ENCODING lines than the glyph record holds (here Unicode codes
// of kanji in a JIS font): the kanji after them are read on from the file,
// and a glyph drawn across the end of the record passes over the lines it
// was drawn from there too.
TEST(Glyphmill, KanjiBeyondAFullGlyphRecordAreStillFound) {
    std::string filler;
    for (int i = 0; i + 1 < glyph_record_capacity; ++i) filler += "ENCODING 24859\n";
    const std::string font = jis_font({kanji(12326, "8001"), kanji(12341, "8001")});
    const std::size_t first_glyph = font.find("STARTCHAR");
    const std::size_t slot_0_box = font.find("BBX");
    const Bytes image = run_on_font(font.substr(0, first_glyph) + filler + font.substr(first_glyph, slot_0_box - first_glyph) +
                                    "ENCODING 12333\n" + font.substr(slot_0_box));
    EXPECT_EQ(blank_slots(image).size(), 1022u);
    EXPECT_FALSE(slot_blank(image, 0)) << "the last glyph the record holds";
    EXPECT_TRUE(slot_blank(image, 1)) << "the first ENCODING line left out lies among slot 0's lines";
    EXPECT_FALSE(slot_blank(image, 2)) << "read on from the file";
}

TEST(Glyphmill, UnencodedAndZeroEncodingsMatchNothing) {
    const Bytes image = run_on_font(jis_font({kanji(-1), kanji(0), kanji(12326, "0000")}));
    EXPECT_EQ(blank_slots(image).size(), 1024u);
    ASSERT_EQ(image.size(), image_size);
}

TEST(Glyphmill, PipeAndCrLfGiveTheSameImageAsTheFile) {
    std::string font = jis_font({kanji(12326, "1234"), kanji(12333, "F00F"), kanji(20291, "0FF0")});
    std::string crlf;
    for (char c : font) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ScratchDir dir;
    write_file(dir.file("font.bdf"), font);
    write_file(dir.file("crlf.bdf"), crlf);
    ASSERT_EQ(run_in(dir, glyphmill + " font.bdf extra arguments ignored").status, 0);
    const Bytes by_name = read_file(dir.file("KANJIROM.66"));
    ASSERT_EQ(run_in(dir, "cat font.bdf | " + glyphmill + " -").status, 0);
    EXPECT_EQ(read_file(dir.file("KANJIROM.66")), by_name) << "font on a pipe";
    ASSERT_EQ(run_in(dir, glyphmill + " - < font.bdf").status, 0);
    EXPECT_EQ(read_file(dir.file("KANJIROM.66")), by_name) << "font on redirected standard input";
    ASSERT_EQ(run_in(dir, glyphmill + " crlf.bdf").status, 0);
    EXPECT_EQ(read_file(dir.file("KANJIROM.66")), by_name) << "CR LF font";
    ASSERT_EQ(run_in(dir, "mkfifo named && { cat font.bdf > named & } && " + glyphmill + " named").status, 0);
    EXPECT_EQ(read_file(dir.file("KANJIROM.66")), by_name) << "font on a named pipe";
    EXPECT_EQ(blank_slots(by_name).size(), 1021u);
}

struct FailureCase {
    const char* name;
    std::string font;     // written to font.bdf unless empty
    std::string command;  // after the program's path
    std::string output;
};

TEST(Glyphmill, FailuresPrintTheirMessageAndKeepTheOldImage) {
    const std::string bbx = "BBX 16 16 0 -2\n";
    const FailureCase cases[] = {
        {"no argument", "", "", "usage: glyphmill fontfile.bdf\n"},
        {"missing font", "", " missing.bdf", "cannot open missing.bdf\n"},
        {"directory as font", "", " .", "cannot open .\n"},
        {"endless device as font", "", " /dev/zero", "cannot open /dev/zero\n"},
        {"empty font", "", " empty.bdf", "illegal bdf\n"},
        {"unknown registry", "FONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY \"KOI8\"\n" + bbx, " font.bdf",
         "cannot convert for charset \"KOI8\"\n"},
        {"unknown registry after a known one", "CHARSET_REGISTRY \"JISX0208\"\nCHARSET_REGISTRY \"X\"\n", " font.bdf",
         "cannot convert for charset \"X\"\n"},
        {"no descent", "FONT_ASCENT 14\nCHARSET_REGISTRY \"JISX0208\"\n" + bbx, " font.bdf", "illegal bdf\n"},
        {"binary garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18), " font.bdf", "illegal bdf\n"},
    };
    for (const FailureCase& c : cases) {
        ScratchDir dir;
        if (!c.font.empty()) write_file(dir.file("font.bdf"), c.font);
        write_file(dir.file("empty.bdf"), "");
        write_file(dir.file("KANJIROM.66"), "old image");
        const RunResult run = run_in(dir, glyphmill + c.command);
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(read_file(dir.file("KANJIROM.66")), Bytes({'o', 'l', 'd', ' ', 'i', 'm', 'a', 'g', 'e'})) << c.name;
    }
}

TEST(Glyphmill, ImageThatCannotBeWrittenLeavesNoTrace) {
    ScratchDir dir;
    write_file(dir.file("font.bdf"), jis_font({kanji(12326)}));

    std::filesystem::create_directory(dir.file("KANJIROM.66"));
    RunResult run = run_in(dir, glyphmill + " font.bdf");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "cannot open KANJIROM.66\n");
    std::filesystem::remove(dir.file("KANJIROM.66"));

    // A file size limit makes the write fail the way a full disk does.
    write_file(dir.file("KANJIROM.66"), "old image");
    run = run_in(dir, "ulimit -f 16; " + glyphmill + " font.bdf");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "cannot write KANJIROM.66\n");
    EXPECT_EQ(read_file(dir.file("KANJIROM.66")).size(), 9u);

    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 2u) << "a temporary file was left behind";
}

}  // namespace
