// What fontprep says each image will get, against what romview reports of
// the images made from the same font; --for, the fitting of outline fonts
// on Debian's fonts (each skipped where it is not installed) and the
// refusal to write a font to a terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <sstream>
#include <string>
#include <vector>

#include "rom_format.h"
#include "test_support.h"

namespace {

const std::string fontprep = FONTPREP_PATH;
const std::string glyphmill = GLYPHMILL_PATH;
const std::string cellforge = CELLFORGE_PATH;
const std::string romview = ROMVIEW_PATH;
const std::string seeds = std::string(FUZZ_DIR) + "/corpus/fontprep/";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::string text_of(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The lines of text that start with prefix, with it taken off.
std::vector<std::string> lines_after(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines_of(text)) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
    }
    return found;
}

// The number after "label " in the line that holds it, -1 when none does.
int number_after(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label);
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + label.size()));
}

// A JIS font, a Unicode font and an outline font: what --report says each
// image will get is what romview finds in the images made from the font.
TEST(FontprepReport, CountsEqualWhatRomviewReports) {
    const char* const fonts[] = {SAMPLES_DIR "/shinonome-16-subset.pcf.gz", "big_shinonome16_unicode_tight.bdf",
                                 "big_traced_glyf.ttf"};
    for (const std::string font : fonts) {
        const std::string path = font[0] == '/' ? font : seeds + font;
        ScratchDir dir;
        const RunResult run = run_in(
            dir, fontprep + " --report " + path + " > report && " + fontprep + " --quiet -o font.bdf " + path +
                     " && " + glyphmill + " font.bdf && " + cellforge + " font.bdf && " + romview +
                     " --list KANJIROM.66 > kanji && " + romview + " --list CGROM66.66 > cells && " + romview +
                     " CGROM66.66 -o sheet.png > summary");
        ASSERT_EQ(run.status, 0) << font << ": " << run.output;
        const std::string report = text_of(read_file(dir.file("report")));
        const std::string summary = text_of(read_file(dir.file("summary")));
        const std::vector<std::string> blank_slots = lines_of(text_of(read_file(dir.file("kanji"))));
        std::vector<std::string> fillable_cells;
        int unfillable_cells = 0;
        for (const std::string& line : lines_of(text_of(read_file(dir.file("cells"))))) {
            if (line.find("\tno font\t") != std::string::npos) ++unfillable_cells;
            else fillable_cells.push_back(line);
        }
        std::vector<std::string> listed = lines_after(report, "  ");
        const auto cells_listed = std::find_if(listed.begin(), listed.end(),
                                               [](const std::string& line) { return line.size() > 4 && line[4] == '\t'; });
        EXPECT_EQ(std::vector<std::string>(listed.begin(), cells_listed), blank_slots) << font << ": blank kanji slots";
        EXPECT_EQ(std::vector<std::string>(cells_listed, listed.end()), fillable_cells) << font << ": placeholders";
        EXPECT_EQ(number_after(report, "slots filled, "), static_cast<int>(blank_slots.size())) << font;
        EXPECT_EQ(number_after(report, "are filled, "), static_cast<int>(fillable_cells.size())) << font;
        const std::vector<std::string> cell_lines = lines_after(report, "CGROM66.66: ");
        ASSERT_EQ(cell_lines.size(), 2u) << report;
        EXPECT_EQ(std::stoi(cell_lines[1]), unfillable_cells) << font << ": placeholders no font can fill";
        const std::vector<std::string> first_set = lines_after(report, "CGROM60.66 and CGROM66.66: ");
        ASSERT_EQ(first_set.size(), 1u) << report;
        EXPECT_EQ(std::stoi(first_set[0]) + bank_cell_count - 1, number_after(summary, "cells with dots: "))
            << font << ": first-set cells, beside the 255 second-set cells that always have dots";
    }
}

struct Box {
    int width, height, x, y;
};

// The ascent, descent and glyph boxes of a BDF font.
void read_boxes(const std::string& bdf, int& ascent, int& descent, std::vector<Box>& boxes) {
    for (const std::string& line : lines_of(bdf)) {
        std::istringstream values(line);
        std::string keyword;
        values >> keyword;
        Box box{};
        if (keyword == "FONT_ASCENT") values >> ascent;
        if (keyword == "FONT_DESCENT") values >> descent;
        if (keyword == "BBX" && values >> box.width >> box.height >> box.x >> box.y) boxes.push_back(box);
    }
}

// --for sets the size and shape of outline fonts, -s overrides the size,
// bitmap fonts keep theirs; every outline glyph ends inside the cell.
TEST(FontprepFor, RendersOutlineFontsForTheToolsCells) {
    struct Case {
        const char* what_goes_wrong;
        const char* options;
        std::string font;
        const char* pixel_size;  // the PIXEL_SIZE line expected
        int cell_width;
    };
    const std::string fixture = SAMPLES_DIR "/shinonome-16-subset.pcf.gz";
    const Case cases[] = {
        {"character cells not 8 by 10", "--for cellforge", seeds + "big_traced_glyf.ttf", "PIXEL_SIZE 10", 8},
        {"kanji slots not 16 by 16", "--for glyphmill", seeds + "big_traced_cff.otf", "PIXEL_SIZE 16", 16},
        {"-s overridden by --for", "--for cellforge -s 12", seeds + "big_traced_glyf.ttf", "PIXEL_SIZE 12", 12},
        {"bitmap font's size changed", "--for cellforge", fixture, "PIXEL_SIZE 16", 16},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        const RunResult run =
            run_in(dir, fontprep + " --quiet " + test.options + " -o font.bdf " + test.font + " && " + fontprep +
                            " --quiet -o plain.bdf " + test.font);
        ASSERT_EQ(run.status, 0) << test.what_goes_wrong << ": " << run.output;
        const std::string bdf = text_of(read_file(dir.file("font.bdf")));
        EXPECT_NE(bdf.find(std::string("\n") + test.pixel_size + "\n"), std::string::npos) << test.what_goes_wrong;
        int ascent = -1, descent = -1;
        std::vector<Box> boxes;
        read_boxes(bdf, ascent, descent, boxes);
        ASSERT_GT(boxes.size(), 100u) << test.what_goes_wrong;
        const int outside = std::count_if(boxes.begin(), boxes.end(), [&](const Box& box) {
            return box.x < 0 || box.x + box.width > test.cell_width || box.y < -descent || box.y + box.height > ascent;
        });
        EXPECT_EQ(outside, 0) << test.what_goes_wrong << ": glyphs outside the cell";
    }
    ScratchDir dir;
    const RunResult same = run_in(dir, fontprep + " --quiet --for glyphmill -o a.bdf " + fixture + " && " + fontprep +
                                           " --quiet -o b.bdf " + fixture + " && cmp a.bdf b.bdf");
    EXPECT_EQ(same.status, 0) << "a bitmap font changed by --for: " << same.output;
}

// Bitmap fonts stay dot for dot unless --fit; --no-fit fits nothing.
TEST(FontprepFor, FitsOnlyTheFontsAsked) {
    struct Case {
        const char* what_goes_wrong;
        const char* options;
        const char* font;
        const char* box;   // a line of the font written
        const char* note;  // in the font's summary line; "" for none
    };
    const std::string outline = seeds + "big_traced_glyf.ttf";
    const Case cases[] = {
        {"bitmap font fitted by default", "", "font.bdf", "\nBBX 3 2 -2 3\n", ""},
        {"--fit left a bitmap font as it is", "--fit", "font.bdf", "\nBBX 3 2 0 3\n",
         ", 1 fitted to the cell, 0 left out\n"},
        {"outline font not fitted by default", "", outline.c_str(), "\nFONT_ASCENT 14\n", ", 0 fitted to the cell"},
        {"--no-fit fitted an outline font", "--no-fit", outline.c_str(), "\nFONT_ASCENT 14\n", ""},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        write_file(dir.file("font.bdf"),
                   full_font("JISX0208.1990", "0", 8, 2, {{0x2121, "3 2 -2 3", {"E0", "A0"}}, {0x2122, "8 1 0 0", {"FF"}}}));
        const RunResult run = run_in(dir, fontprep + " " + test.options + " -o out.bdf " + test.font);
        ASSERT_EQ(run.status, 0) << test.what_goes_wrong << ": " << run.output;
        EXPECT_NE(text_of(read_file(dir.file("out.bdf"))).find(test.box), std::string::npos) << test.what_goes_wrong;
        const std::string first_line = run.output.substr(0, run.output.find('\n') + 1);
        if (*test.note == '\0') {
            EXPECT_EQ(first_line.find("fitted"), std::string::npos) << test.what_goes_wrong << ": " << first_line;
        } else {
            EXPECT_NE(first_line.find(test.note), std::string::npos) << test.what_goes_wrong << ": " << first_line;
        }
    }
}

// The columns of a kanji slot that hold dots, from the leftmost to the
// rightmost.
int kanji_width(const Bytes& image, int slot) {
    unsigned columns = 0;
    for (int row = 0; row < kanji_glyph_size; ++row) {
        columns |= image[slot * kanji_glyph_size + row] << 8 | image[kanji_plane_size + slot * kanji_glyph_size + row];
    }
    return columns == 0 ? 0 : std::bit_width(columns) - std::countr_zero(columns);
}

// The cells of "CGROM66.66" that want the low line or the overline: 0x5F
// of the first set and the line pieces of the second.
bool line_cells_drawn(const Bytes& image, std::string& which) {
    const int cells[] = {0x5F, 0x1C6, 0x1C8, 0x1CA, 0x1CB, 0x1D8, 0x1D9, 0x1E8, 0x1E9, 0x1F6, 0x1F8, 0x1FA, 0x1FB};
    for (const int cell : cells) {
        const auto first = image.begin() + cell * cell_bytes;
        const bool blank = std::all_of(first, first + cell_bytes, [](std::uint8_t row) { return row == 0; });
        if (blank || std::equal(first, first + cell_bytes, placeholder_rows)) {
            which = std::to_string(cell);
            return false;
        }
    }
    return true;
}

// The outline fonts Debian ships: through --for glyphmill their kanji are
// at least 14 dots wide, through --for cellforge the line cells are drawn.
// Fonts not installed are skipped; the last row shows what fitting mends.
TEST(FontprepFor, DebianOutlineFontsGiveFullImages) {
    struct Case {
        const char* font;
        const char* options;
        bool fitted;
    };
    const Case cases[] = {
        {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", "", true},
        {"/usr/share/fonts/opentype/unifont/unifont.otf", "", true},
        {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "", true},
        {"/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf", "", true},
        {"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", "--no-fit -s 10", false},
    };
    int tried = 0;
    for (const Case& test : cases) {
        if (!file_exists(test.font)) continue;
        ++tried;
        ScratchDir dir;
        const std::string font = std::string(" ") + test.options + " " + test.font;
        const RunResult run = run_in(dir, fontprep + " --quiet --for glyphmill" + font + " | " + glyphmill + " - && " +
                                              fontprep + " --quiet --for cellforge -o c.bdf" + font + " && " +
                                              cellforge + " c.bdf");
        ASSERT_EQ(run.status, 0) << test.font << ": " << run.output;
        std::string which;
        EXPECT_EQ(line_cells_drawn(read_file(dir.file("CGROM66.66")), which), test.fitted)
            << test.font << test.options << ": cell " << which;
        if (test.fitted) {
            EXPECT_GE(kanji_width(read_file(dir.file("KANJIROM.66")), 0), 14) << test.font << ": 愛 squeezed";
        }
    }
    if (tried == 0) GTEST_SKIP() << "none of Debian's outline fonts is installed (fonts-noto-cjk, fonts-ipafont, ...)";
}

// A font that fills no kanji slot, and a JIS X 0213 plane 2 font, are
// told in one line each; --report writes no font, also to a terminal.
TEST(FontprepReport, CallsOutFontsTheImagesCannotUse) {
    struct Case {
        const char* what_goes_wrong;
        const char* registry;
        const char* encoding;
        int code;
        const char* line;  // expected in the report
    };
    const Case cases[] = {
        {"font without kanji not called out", "ISO10646", "1", 0x41,
         "KANJIROM.66: no kanji slot filled: the font has none of its 1024 kanji\n"},
        {"plane 2 font not called out", "JISX0213.2004", "2", 0x2121,
         "plane2.bdf: a JIS X 0213 plane 2 font: the images want kanji of JIS X 0208 and plane 1, which it lacks\n"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        write_file(dir.file("plane2.bdf"), full_font(test.registry, test.encoding, 8, 2,
                                                     {{test.code, "8 10 0 -2", std::vector<std::string>(10, "3C")}}));
        const RunResult run = run_in(dir, "script -qec '" + fontprep + " --report plane2.bdf' /dev/null > out; echo $?");
        EXPECT_EQ(run.output, "0\n") << test.what_goes_wrong;
        std::string out = text_of(read_file(dir.file("out")));
        out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
        EXPECT_NE(out.find(test.line), std::string::npos) << test.what_goes_wrong << ": " << out;
        EXPECT_EQ(out.find("STARTFONT"), std::string::npos) << test.what_goes_wrong << ": a font written";
        const std::vector<std::string> listed = lines_after(out, "  ");
        EXPECT_EQ(std::count_if(listed.begin(), listed.end(),
                                [](const std::string& line) { return line.size() > 5 && line[5] == '\t'; }),
                  0)
            << test.what_goes_wrong << ": the 1024 blank slots listed";
    }
}

// Without -o a font goes to a pipe or a file, never to a terminal.
TEST(FontprepReport, RefusesToWriteAFontToATerminal) {
    struct Case {
        const char* what_goes_wrong;
        const char* command;  // run by script(1) on a terminal; $F is fontprep
        const char* output;
    };
    const Case cases[] = {
        {"font flooded the terminal", "$F font.bdf",
         "fontprep: will not write a font to a terminal: give -o FILE or a pipe\r\n"},
        {"-o - flooded the terminal", "$F -o - font.bdf",
         "fontprep: will not write a font to a terminal: give -o FILE or a pipe\r\n"},
        {"pipe refused", "$F --quiet font.bdf | grep -c STARTCHAR", "1\r\n"},
        {"-o refused", "$F --quiet -o out.bdf font.bdf && grep -c STARTCHAR out.bdf", "1\r\n"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        write_file(dir.file("font.bdf"), full_font("JISX0208.1990", "0", 8, 2, {{0x2121, "8 10 0 -2", {"FF"}}}));
        const RunResult run = run_in(dir, "F=" + fontprep + " script -qec '" + test.command + "' /dev/null");
        EXPECT_EQ(run.output, test.output) << test.what_goes_wrong;
    }
}

}  // namespace
