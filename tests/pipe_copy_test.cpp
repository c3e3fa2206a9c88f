// A font on a pipe is copied only where the glyph passes read it again, so
// it must give what the same font gives as a file: the same images, the
// same messages, the same statuses. Each font here is followed by comment
// lines longer than the reader's buffer, so that nothing the passes read
// again is still buffered and all of it comes from the copy.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

const std::string glyphmill = GLYPHMILL_PATH;
const std::string cellforge = CELLFORGE_PATH;
const std::string sample = std::string(SAMPLES_DIR) + "/shinonome-12-gothic.bdf";

const std::string header =
    "STARTFONT 2.1\nFONT test\nFONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY \"JISX0208.1983\"\n";

// Comment lines of at least bytes bytes.
std::string comments(std::size_t bytes) {
    const std::string line = "COMMENT " + std::string(90, 'x') + "\n";
    std::string text;
    while (text.size() < bytes) text += line;
    return text;
}

std::string rows(int count, const std::string& row = "F0F0") {
    std::string text;
    for (int i = 0; i < count; ++i) text += row + "\n";
    return text;
}

// A glyph in the usual shape.
std::string glyph(int encoding, int height = 16, const std::string& row = "F0F0") {
    return "STARTCHAR g\nENCODING " + std::to_string(encoding) + "\nBBX 16 " + std::to_string(height) +
           " 0 -2\nBITMAP\n" + rows(height, row) + "ENDCHAR\n";
}

// Kanji of the ROM's table by JIS code, and a first-set letter (Ａ).
constexpr int kanji_a = 0x3026, kanji_b = 0x302D, kanji_c = 0x3035;
constexpr int letter = 0x2341;

// Far enough apart that the copy keeps each glyph on its own.
const std::string gap = comments(6000);

std::string repeated(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}

std::string with_crlf(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

struct PipedFont {
    const char* name;
    std::string body;  // between the header and ENDFONT
    bool crlf;
};

const PipedFont fonts[] = {
    {"separate_glyphs", glyph(kanji_a) + gap + glyph(letter) + gap + glyph(kanji_b) + gap, false},
    {"crlf", glyph(kanji_a) + gap + glyph(letter) + gap + glyph(kanji_b), true},
    // The box is taller than the glyph's rows: its reading runs on through
    // the next glyph's lines.
    {"box_taller_than_its_rows",
     "ENCODING 12326\nBBX 16 40 0 -2\nBITMAP\n" + rows(4) + glyph(kanji_b) + rows(30, "FFFF") + gap, false},
    // No BBX: the reading looks for one past the gap, in a glyph no table wants.
    {"glyph_without_box", "ENCODING 12326\nBITMAP\n" + rows(16) + "ENDCHAR\n" + gap + glyph(1, 16, "0FF0") + gap,
     false},
    {"glyph_without_bitmap_line",
     "ENCODING 12326\nBBX 16 16 0 -2\n" + rows(16) + "ENDCHAR\n" + gap + glyph(1, 16, "0FF0") + gap, false},
    // A wanted ENCODING among the rows of a taller glyph begins a second
    // reading that ends first; the first one still takes all its rows.
    {"shorter_glyph_inside_a_taller_one",
     "ENCODING 12326\nBBX 16 40 0 -2\nBITMAP\n" + rows(3) + "ENCODING 12333\nBBX 16 2 0 -2\nBITMAP\n" +
         rows(34, "FFFF") + gap + glyph(kanji_c) + gap,
     false},
    // Two boxes before one BITMAP line: the taller one's rows count.
    {"two_boxes_before_one_bitmap",
     "ENCODING 12326\nBBX 16 40 0 -2\nENCODING 12333\nBBX 16 2 0 -2\nBITMAP\n" + rows(40, "FFFF") + gap +
         glyph(kanji_c) + gap,
     false},
    {"negative_and_zero_heights",
     "ENCODING 12326\nBBX 16 -5 0 -2\nBITMAP\n" + rows(8) + gap + "ENCODING 12333\nBBX 16 0 0 0\nBITMAP\n" +
         rows(8) + gap + glyph(kanji_c) + gap,
     false},
    // Rows longer than 99 characters arrive in pieces, each read as a row.
    {"rows_in_pieces", "ENCODING 12326\nBBX 16 16 0 -2\nBITMAP\n" + rows(16, "FFFF" + std::string(246, '0')) +
                           "ENDCHAR\n" + gap + glyph(kanji_b),
     false},
    // A glyph that never ends: the copy keeps the rest of the font.
    {"glyph_running_to_the_end", gap + "ENCODING 12326\nBBX 16 16 0 -2\nBITMAP\n" + rows(5), false},
    // More wanted glyphs than the scan records (a kanji by its Unicode code,
    // which the kanji pass of a JIS font passes over, and a letter drawn
    // once): the passes read on from the first one left out, to the glyphs
    // they draw far beyond.
    {"more_glyphs_than_recorded",
     repeated("ENCODING 24859\nBBX 16 1 0 0\nBITMAP\nFF00\nENDCHAR\n", 8200) + glyph(letter) +
         repeated("ENCODING 9025\nBBX 16 1 0 0\nBITMAP\nFF00\nENDCHAR\n", 8200) + gap + glyph(kanji_b) + gap +
         glyph(0x2342) + gap + glyph(kanji_c) + gap + glyph(0x2343),
     false},
    // More separate spans than the copy's table holds: the last one is kept
    // to the end of the font.
    {"more_spans_than_the_copy_notes",
     repeated(glyph(letter) + comments(4200), 8193) + glyph(0x2342) + gap + glyph(kanji_b) + gap +
         glyph(0x2343),
     false},
};

void PrintTo(const PipedFont& font, std::ostream* out) {
    *out << font.name;
}

struct Outcome {
    RunResult run;
    Bytes image;
};

Outcome run_for(const ScratchDir& dir, const std::string& command, const std::string& image) {
    run_in(dir, "rm -f KANJIROM.66 CGROM60.66 CGROM66.66");
    Outcome outcome{run_in(dir, command), read_file(dir.file(image))};
    return outcome;
}

class PipeCopy : public testing::TestWithParam<PipedFont> {};

TEST_P(PipeCopy, GivesWhatTheFileGives) {
    const PipedFont& font = GetParam();
    ScratchDir dir;
    const std::string text = header + font.body + "ENDFONT\n" + comments(300000);
    write_file(dir.file("font.bdf"), font.crlf ? with_crlf(text) : text);
    struct Pair {
        std::string from_file, from_pipe, image;
    };
    const Pair pairs[] = {
        {glyphmill + " font.bdf", "cat font.bdf | " + glyphmill + " -", "KANJIROM.66"},
        {cellforge + " '" + sample + "' font.bdf", "cat font.bdf | " + cellforge + " '" + sample + "' -",
         "CGROM66.66"},
    };
    for (const Pair& pair : pairs) {
        const Outcome file = run_for(dir, pair.from_file, pair.image);
        const Outcome pipe = run_for(dir, pair.from_pipe, pair.image);
        EXPECT_EQ(file.run.status, 0) << pair.from_file << ": " << file.run.output;
        EXPECT_EQ(pipe.run.status, file.run.status) << pair.from_pipe;
        EXPECT_EQ(pipe.run.output, file.run.output) << pair.from_pipe;
        EXPECT_FALSE(file.image.empty()) << pair.from_file;
        EXPECT_TRUE(pipe.image == file.image) << pair.from_pipe << " gives another " << pair.image;
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, PipeCopy, testing::ValuesIn(fonts),
                         [](const testing::TestParamInfo<PipedFont>& info) { return std::string(info.param.name); });

// A font on a pipe needs room in TMPDIR only for the glyphs drawn: a 3 MB
// font goes through under a 200 KiB file size limit.
TEST(PipeCopyRoom, OnlyTheDrawnGlyphsAreCopied) {
    ScratchDir dir;
    const std::string big_gap = comments(1000000);
    write_file(dir.file("font.bdf"), header + glyph(kanji_a) + big_gap + glyph(kanji_b) + big_gap + glyph(kanji_c) +
                                         big_gap + "ENDFONT\n");
    const Outcome file = run_for(dir, glyphmill + " font.bdf", "KANJIROM.66");
    const Outcome pipe = run_for(dir, "(ulimit -f 200; cat font.bdf | " + glyphmill + " -)", "KANJIROM.66");
    EXPECT_EQ(pipe.run.status, 0) << pipe.run.output;
    EXPECT_FALSE(file.image.empty());
    EXPECT_TRUE(pipe.image == file.image);
}

// A scan that stops at a registry it does not take leaves nothing to read
// again: the glyph whose lines were being followed is not kept to the end.
TEST(PipeCopyRoom, NothingIsKeptPastAnUnknownRegistry) {
    ScratchDir dir;
    write_file(dir.file("font.bdf"), "STARTFONT 2.1\nENCODING 12326\nCHARSET_REGISTRY \"KOI8\"\n" +
                                         comments(3000000) + "ENDFONT\n");
    const Outcome pipe = run_for(dir, "(ulimit -f 200; cat font.bdf | " + glyphmill + " -)", "KANJIROM.66");
    EXPECT_EQ(pipe.run.status, 1);
    EXPECT_EQ(pipe.run.output, "cannot convert for charset \"KOI8\"\n");
}

}  // namespace
