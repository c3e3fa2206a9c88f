// cellforge run on fonts written by the test: both images, generated cells,
// messages, exit statuses and the order in which images are written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rom_format.h"
#include "test_support.h"

namespace {

const std::string cellforge = CELLFORGE_PATH;
constexpr std::size_t image_size = character_rom_size;

TestGlyph cell_glyph(int encoding, const std::string& row) {
    return {encoding, "8 10 0 -2", std::vector<std::string>(10, row)};
}

// A JIS font with the ideographic space, Ａ, the digit 1 and ○.
std::string jis_font() {
    return make_font("JISX0208.1990", 8, 2,
                     {cell_glyph(0x2121, "18"), cell_glyph(0x2341, "F0"), cell_glyph(0x2331, "3C"), cell_glyph(0x217B, "81")});
}

std::vector<std::uint8_t> cell(const Bytes& image, int index) {
    return std::vector<std::uint8_t>(image.begin() + index * cell_bytes, image.begin() + (index + 1) * cell_bytes);
}

bool cells_equal(const Bytes& a, const Bytes& b, int first, int end) {
    return std::equal(a.begin() + first * cell_bytes, a.begin() + end * cell_bytes, b.begin() + first * cell_bytes);
}

struct Images {
    RunResult run;
    Bytes image_60;
    Bytes image_66;
};

// Runs cellforge with arguments after the shell commands in prefix.
Images run_cellforge(const ScratchDir& dir, const std::string& arguments, const std::string& prefix = "") {
    Images images;
    images.run = run_in(dir, prefix + cellforge + " " + arguments);
    images.image_60 = read_file(dir.file("CGROM60.66"));
    images.image_66 = read_file(dir.file("CGROM66.66"));
    return images;
}

TEST(Cellforge, OneFontMakesBothImages) {
    ScratchDir dir;
    write_file(dir.file("font.bdf"), jis_font());
    const Images images = run_cellforge(dir, "font.bdf");
    ASSERT_EQ(images.run.status, 0);
    EXPECT_EQ(images.run.output, "");
    ASSERT_EQ(images.image_60.size(), image_size);
    ASSERT_EQ(images.image_66.size(), image_size);
    EXPECT_TRUE(cells_equal(images.image_60, images.image_66, 0, 256));
    EXPECT_EQ(cell(images.image_60, 0x41), cell(images.image_66, 0x41));
    EXPECT_EQ(draw_byte_cell(&images.image_60[0x41 * 16], 11),
              "####....\n####....\n####....\n####....\n####....\n####....\n####....\n####....\n####....\n####....\n........\n");

    // 2 x 3 mosaic: code 0b101101 has bands left, both, right.
    using Cell = std::vector<std::uint8_t>;
    EXPECT_EQ(cell(images.image_60, 256 + 45),
              (Cell{0xF0, 0xF0, 0xF0, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x0F, 0x0F, 0x0F, 0, 0, 0, 0}));
    EXPECT_TRUE(std::all_of(images.image_60.begin() + 320 * 16, images.image_60.end(), [](std::uint8_t b) { return b == 0; }));

    // The second image's generated cells.
    EXPECT_EQ(cell(images.image_66, 256), Cell(16, 0));
    EXPECT_EQ(cell(images.image_66, 256 + 9), (Cell{0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 272), (Cell{0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 280), (Cell{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 281), (Cell{0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 287), (Cell{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 288), (Cell{1, 1, 3, 7, 0x0F, 0x1F, 0x1F, 0x3F, 0x7F, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 291), (Cell{0xFF, 0xFE, 0xFC, 0xF8, 0xF8, 0xF0, 0xE0, 0xC0, 0x80, 0x80, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(cell(images.image_66, 292), (Cell{0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0, 0, 0, 0, 0, 0}));

    // Placeholder: second-set cells no glyph reached, among them the
    // composite "10" whose second digit is missing; the digit 1 itself and
    // the composite "11" are drawn.
    const Cell placeholder(placeholder_rows, placeholder_rows + cell_bytes);
    for (int code : {0x3A, 0x3C, 0x28, 0x95, 0xFF}) EXPECT_EQ(cell(images.image_66, 256 + code), placeholder) << code;
    EXPECT_NE(cell(images.image_66, 256 + 0x31), placeholder);
    EXPECT_NE(cell(images.image_66, 256 + 0x3B), placeholder);
    EXPECT_EQ(cell(images.image_66, 0x80), cell(images.image_60, 0x80)) << "first set never gets the placeholder";
}

TEST(Cellforge, AsciiModeWithTwoFonts) {
    ScratchDir dir;
    write_file(dir.file("latin.bdf"), make_font("ISO8859", 8, 2, {cell_glyph(65, "81"), cell_glyph(0x2341, "FF")}));
    write_file(dir.file("kanji.bdf"), jis_font());
    const Images images = run_cellforge(dir, "-ascii -ascii latin.bdf kanji.bdf");
    ASSERT_EQ(images.run.status, 0) << images.run.output;
    EXPECT_EQ(images.image_60[65 * 16], 0x81);
    EXPECT_TRUE(std::all_of(images.image_66.begin(), images.image_66.begin() + 256 * 16, [](std::uint8_t b) { return b == 0; }))
        << "a JIS font has no glyph whose encoding equals its code";
    EXPECT_EQ(images.image_66[(256 + 0x31) * 16], 0x3C) << "the second set still goes through its table";
}

TEST(Cellforge, FontTwoFromAPipeCrLfAndOutputNames) {
    ScratchDir dir;
    const std::string font = jis_font();
    std::string crlf;
    for (char c : font) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    write_file(dir.file("font.bdf"), font);
    write_file(dir.file("crlf.bdf"), crlf);
    const Images by_name = run_cellforge(dir, "font.bdf font.bdf");
    ASSERT_EQ(by_name.run.status, 0);
    const Images piped = run_cellforge(dir, "font.bdf -", "cat font.bdf | ");
    EXPECT_EQ(piped.run.status, 0);
    EXPECT_EQ(piped.image_60, by_name.image_60);
    EXPECT_EQ(piped.image_66, by_name.image_66) << "font 2 on a pipe";
    const Images from_crlf = run_cellforge(dir, "crlf.bdf");
    EXPECT_EQ(from_crlf.image_60, by_name.image_60);
    EXPECT_EQ(from_crlf.image_66, by_name.image_66) << "CR LF font";

    // A font named like the first image: writing that image must not change
    // what the later passes read.
    std::filesystem::copy_file(dir.file("font.bdf"), dir.file("CGROM60.66"), std::filesystem::copy_options::overwrite_existing);
    const Images named = run_cellforge(dir, "CGROM60.66");
    EXPECT_EQ(named.run.status, 0);
    EXPECT_EQ(named.image_66, by_name.image_66);
}

struct FailureCase {
    const char* name;
    std::string arguments;
    std::string output;
    bool new_image_60;  // a new CGROM60.66 replaced the old one
};

TEST(Cellforge, FailuresPrintTheirMessageInTheirOrder) {
    const std::string usage = "usage: cellforge [-ascii] fontfile1.bdf [fontfile2.bdf]\n";
    const FailureCase cases[] = {
        {"no argument", "", usage, false},
        {"only options", "-ascii", usage, false},
        {"unknown option", "-x font.bdf", usage, false},
        {"dash first is an option", "- font.bdf", usage, false},
        {"options only come first", "font.bdf -x", "cannot open -x\n", false},
        {"missing font 1", "missing.bdf font.bdf", "cannot open missing.bdf\n", false},
        {"missing font 2", "font.bdf missing.bdf", "cannot open missing.bdf\n", false},
        {"directory as font", ".", "cannot open .\n", false},
        {"unknown registry without -ascii", "koi8.bdf", "cannot convert for charset \"KOI8\"\n", false},
        {"unknown registry refused by the second set", "-ascii koi8.bdf", "cannot convert for charset \"KOI8\"\n", true},
        {"bad font 2 after the first image", "font.bdf empty.bdf", "illegal bdf\n", true},
        {"bad font 1", "empty.bdf font.bdf", "illegal bdf\n", false},
    };
    for (const FailureCase& c : cases) {
        ScratchDir dir;
        write_file(dir.file("font.bdf"), jis_font());
        write_file(dir.file("koi8.bdf"), make_font("KOI8", 8, 2, {cell_glyph(65, "FF")}));
        write_file(dir.file("empty.bdf"), "");
        write_file(dir.file("CGROM60.66"), "old 60");
        write_file(dir.file("CGROM66.66"), "old 66");
        const Images images = run_cellforge(dir, c.arguments);
        EXPECT_EQ(images.run.status, 1) << c.name;
        EXPECT_EQ(images.run.output, c.output) << c.name;
        EXPECT_EQ(images.image_60.size(), c.new_image_60 ? image_size : 6u) << c.name;
        EXPECT_EQ(images.image_66.size(), 6u) << c.name;
    }
}

TEST(Cellforge, ImagesThatCannotBeWritten) {
    ScratchDir dir;
    write_file(dir.file("font.bdf"), jis_font());

    std::filesystem::create_directory(dir.file("CGROM66.66"));
    Images images = run_cellforge(dir, "font.bdf");
    EXPECT_EQ(images.run.status, 1);
    EXPECT_EQ(images.run.output, "cannot open CGROM66.66\n");
    EXPECT_EQ(images.image_60.size(), image_size) << "the first image is complete";
    std::filesystem::remove(dir.file("CGROM66.66"));
    std::filesystem::remove(dir.file("CGROM60.66"));

    std::filesystem::create_directory(dir.file("CGROM60.66"));
    images = run_cellforge(dir, "font.bdf");
    EXPECT_EQ(images.run.output, "cannot open CGROM60.66\n");
    EXPECT_FALSE(file_exists(dir.file("CGROM66.66")));
    std::filesystem::remove(dir.file("CGROM60.66"));

    // A file size limit makes writes fail the way a full disk does.
    write_file(dir.file("CGROM60.66"), "old 60");
    images = run_cellforge(dir, "font.bdf", "ulimit -f 8; ");
    EXPECT_EQ(images.run.status, 1);
    EXPECT_EQ(images.run.output, "cannot write CGROM60.66\n");
    EXPECT_EQ(images.image_60.size(), 6u);

    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 2u) << "a temporary file was left behind";
}

}  // namespace

// The long-vowel cells ɚː (0x6B) and oː (0x6C) of the second set come out
// the same from a JIS font and from the same glyphs numbered by Unicode.
TEST(Cellforge, LongVowelCellsAgreeInBothNumberings) {
    struct Component {
        int jis;
        int unicode;
        std::string row;
    };
    const Component components[] = {{0x2B43, 0x025A, "C0"}, {0x236F, 0xFF4F, "30"}, {0x2127, 0xFF1A, "0C"}};
    std::vector<TestGlyph> jis_glyphs;
    std::vector<TestGlyph> unicode_glyphs;
    for (const Component& component : components) {
        jis_glyphs.push_back(cell_glyph(component.jis, component.row));
        unicode_glyphs.push_back(cell_glyph(component.unicode, component.row));
    }
    ScratchDir dir;
    write_file(dir.file("jis.bdf"), make_font("JISX0208.1990", 8, 2, jis_glyphs));
    write_file(dir.file("unicode.bdf"), make_font("ISO10646", 8, 2, unicode_glyphs));
    ASSERT_EQ(run_cellforge(dir, "../jis.bdf", "mkdir j && cd j && ").run.status, 0);
    ASSERT_EQ(run_cellforge(dir, "../unicode.bdf", "mkdir u && cd u && ").run.status, 0);
    const Bytes jis_66 = read_file(dir.file("j/CGROM66.66"));
    const Bytes unicode_66 = read_file(dir.file("u/CGROM66.66"));
    ASSERT_EQ(jis_66.size(), image_size);
    ASSERT_EQ(unicode_66.size(), image_size);
    for (int cell_index : {0x16B, 0x16C}) {
        const std::string picture = draw_byte_cell(&jis_66[cell_index * 16], 10);
        EXPECT_EQ(draw_byte_cell(&unicode_66[cell_index * 16], 10), picture) << "cell " << cell_index;
        EXPECT_NE(picture.find('#'), std::string::npos) << "cell " << cell_index << " is blank";
        EXPECT_NE(cell(jis_66, cell_index)[4], 0) << "cell " << cell_index << " shows the placeholder";
    }
}
