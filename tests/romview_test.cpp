// romview run on the images of the bundled sample fonts and on images made
// in the test: the PNG sheet decoded and compared dot by dot with the image
// bytes, the missing codes in characters, one cell as text, refused input,
// safe writes, comparing two images and the BDF export read back by the
// converters.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bdf_export.h"
#include "code_report.h"
#include "code_tables.h"
#include "contact_sheet.h"
#include "kanji_table.h"
#include "test_support.h"

#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace {

const std::string romview = ROMVIEW_PATH;
const std::string samples = SAMPLES_DIR;
constexpr std::size_t kanji_plane = 16384;
constexpr std::uint8_t placeholder[16] = {0xFE, 0xFE, 0xFE, 0xFE, 0, 0xFE, 0xFE, 0xFE, 0xFE, 0, 0, 0, 0, 0, 0, 0};

// The three images of the sample fonts, written into dir.
void make_sample_images(const ScratchDir& dir) {
    const RunResult kanji = run_in(dir, std::string(GLYPHMILL_PATH) + " " + samples + "/shinonome-16-gothic.bdf");
    const RunResult cells = run_in(dir, std::string(CELLFORGE_PATH) + " " + samples + "/shinonome-12-gothic.bdf");
    ASSERT_EQ(kanji.status, 0) << kanji.output;
    ASSERT_EQ(cells.status, 0) << cells.output;
}

struct SplitRun {
    int status;
    std::string out;  // standard output
    std::string err;  // standard error
};

// romview with these arguments, its two output streams apart.
SplitRun run_romview(const ScratchDir& dir, const std::string& arguments) {
    const RunResult run = run_in(dir, "timeout 60 " + romview + arguments + " 2>stderr.txt");
    const Bytes err = read_file(dir.file("stderr.txt"));
    std::filesystem::remove(dir.file("stderr.txt"));
    return {run.status, run.output, std::string(err.begin(), err.end())};
}

bool is_kanji_rom(const Bytes& rom) {
    return rom.size() == 32768;
}

// Glyph index of a ROM image as rows of '#' and '.', read straight from the bytes.
std::string rom_picture(const Bytes& rom, int index) {
    if (!is_kanji_rom(rom)) return draw_byte_cell(&rom[index * 16], 16);
    std::uint16_t rows[16];
    for (int r = 0; r < 16; ++r) {
        rows[r] = static_cast<std::uint16_t>(rom[index * 16 + r] << 8 | rom[kanji_plane + index * 16 + r]);
    }
    return draw_rows(rows, 16, 16);
}

bool shows_placeholder(const Bytes& rom, int index) {
    return !is_kanji_rom(rom) && index >= 256 && std::equal(placeholder, placeholder + 16, &rom[index * 16]);
}

bool is_blank(const Bytes& rom, int index) {
    return rom_picture(rom, index).find('#') == std::string::npos;
}

struct Png {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Png read_png(const std::string& path) {
    Png png;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &png.width, &png.height, &channels, 3);
    if (data == nullptr) return {};
    png.rgb.assign(data, data + static_cast<std::size_t>(png.width) * png.height * 3);
    stbi_image_free(data);
    return png;
}

bool pixel_is(const Png& png, int x, int y, Colour colour) {
    const std::uint8_t* pixel = &png.rgb[(static_cast<std::size_t>(y) * png.width + x) * 3];
    return pixel[0] == colour.red && pixel[1] == colour.green && pixel[2] == colour.blue;
}

bool square_is(const Png& png, Pixel corner, int size, Colour colour) {
    for (int y = corner.y; y < corner.y + size; ++y) {
        for (int x = corner.x; x < corner.x + size; ++x) {
            if (!pixel_is(png, x, y, colour)) return false;
        }
    }
    return true;
}

// Glyph index as the sheet shows it: '#' for a square of the dot colour,
// '.' for one of the cell's paper, '?' for anything else.
std::string sheet_picture(const Png& png, const SheetLayout& layout, int index, Colour paper) {
    std::string picture;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < layout.glyph_width; ++x) {
            const Pixel corner = dot_pixel(layout, index, x, y);
            picture += square_is(png, corner, layout.scale, dot_colour) ? '#'
                       : square_is(png, corner, layout.scale, paper) ? '.'
                                                                      : '?';
        }
        picture += '\n';
    }
    return picture;
}

struct SheetCase {
    const char* image;
    RomKind kind;
    int scale;
};

// Every dot of every glyph shows at its place on the sheet as a square of
// scale x scale pixels, with a grid line left of and above each cell.
TEST(Romview, SheetShowsEveryDotOfTheImage) {
    ScratchDir dir;
    make_sample_images(dir);
    const SheetCase cases[] = {
        {"CGROM60.66", RomKind::character, 1},
        {"CGROM66.66", RomKind::character, 2},
        {"KANJIROM.66", RomKind::kanji, 3},
    };
    for (const SheetCase& c : cases) {
        const RunResult run = run_in(dir, romview + " " + c.image + " -o sheet.png --scale " + std::to_string(c.scale));
        ASSERT_EQ(run.status, 0) << c.image << ": " << run.output;
        const Png png = read_png(dir.file("sheet.png"));
        const Bytes rom = read_file(dir.file(c.image));
        const SheetLayout layout = sheet_layout(c.kind, c.scale);
        ASSERT_EQ(png.width, layout.width) << c.image;
        ASSERT_EQ(png.height, layout.height) << c.image;
        for (int index = 0; index < (is_kanji_rom(rom) ? 1024 : 512); ++index) {
            const Colour paper = shows_placeholder(rom, index) ? placeholder_paper_colour : paper_colour;
            const std::string where = std::string(c.image) + " glyph " + std::to_string(index);
            EXPECT_EQ(sheet_picture(png, layout, index, paper), rom_picture(rom, index)) << where;
            const Pixel first_dot = dot_pixel(layout, index, 0, 0);
            EXPECT_TRUE(pixel_is(png, first_dot.x - 1, first_dot.y, grid_colour)) << where;
            EXPECT_TRUE(pixel_is(png, first_dot.x, first_dot.y - 1, grid_colour)) << where;
        }
    }
}

// Dots worked out by hand: row 1 of cell 0x41 ('A') of the first character
// ROM holds one dot, in column 3; at the default scale a cell of the first
// table is 8 x 16 squares of 2 x 2 pixels behind a one-pixel grid line.
TEST(Romview, PlacesKnownDotsOfTheDefaultSheet) {
    ScratchDir dir;
    make_sample_images(dir);
    ASSERT_EQ(run_in(dir, romview + " CGROM60.66").status, 0);
    ASSERT_EQ(read_file(dir.file("CGROM60.66"))[0x41 * 16 + 1], 0x10);
    const Png png = read_png(dir.file("CGROM60.66.png"));
    const SheetLayout layout = sheet_layout(RomKind::character, 2);
    const Pixel cell{layout.table_left + 1 * 17 + 1, layout.table_top + 4 * 33 + 1};  // line 4, column 1
    EXPECT_TRUE(square_is(png, {cell.x + 3 * 2, cell.y + 1 * 2}, 2, dot_colour));
    EXPECT_TRUE(square_is(png, {cell.x + 2 * 2, cell.y + 1 * 2}, 2, paper_colour));
}

// The codes of a --list, each line cut at its first tab.
std::string listed_codes(const std::string& list) {
    std::string codes;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find('\n', start);
        const std::string line = list.substr(start, end - start);
        codes += line.substr(0, line.find('\t')) + "\n";
        start = end == std::string::npos ? list.size() : end + 1;
    }
    return codes;
}

std::string expected_list(const Bytes& rom) {
    std::string list;
    char line[16];
    for (int index = 0; index < (is_kanji_rom(rom) ? 1024 : 512); ++index) {
        const bool listed = is_kanji_rom(rom) ? is_blank(rom, index) : shows_placeholder(rom, index);
        if (!listed) continue;
        if (is_kanji_rom(rom)) std::snprintf(line, sizeof line, "0x%03X\n", index);
        else std::snprintf(line, sizeof line, "0x%02X\n", index - 256);
        list += line;
    }
    return list;
}

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
    for (int index = 0; index < 512; ++index) blank += is_blank(rom, index);
    const std::string list = expected_list(rom);
    const std::string counts = "cells with dots: " + std::to_string(512 - blank) + ", blank: " + std::to_string(blank);
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
    std::string rom(8192, '\0');
    const auto put = [&rom](int cell) { std::copy(placeholder, placeholder + 16, rom.begin() + cell * 16); };
    put(5);            // first set: not listed
    put(256 + 1);
    put(256 + 2);
    rom[(256 + 2) * 16 + 9] = 1;  // one stray dot: not the placeholder
    put(256 + 0xFF);
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
        {"last cell of the second set", "CGROM66.66", "511", 511},
        {"first kanji", "KANJIROM.66", "0", 0},
        {"last kanji in upper-case hex", "KANJIROM.66", "0X3FF", 1023},
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
    std::string rom(32768, '\0');
    rom[3 * 16 + 2] = static_cast<char>(0x80);
    rom[kanji_plane + 3 * 16 + 2] = static_cast<char>(0x01);
    write_file(dir.file("made.66"), rom);
    std::string expected;
    for (int r = 0; r < 16; ++r) expected += r == 2 ? "#..............#\n" : "................\n";
    EXPECT_EQ(run_in(dir, romview + " made.66 --text 3").output, expected);
}

struct RefusalCase {
    const char* name;
    std::string arguments;
    std::string message;  // on standard error
    int status;
};

// One line on standard error, nothing on standard output, status 1 (2 for
// --diff, as cmp), and no sheet left behind.
TEST(Romview, RefusalPrintsOneLineOnStandardError) {
    ScratchDir dir;
    make_sample_images(dir);
    write_file(dir.file("short.66"), std::string(100, '\0'));
    write_file(dir.file("long.66"), std::string(8193, '\0'));
    write_file(dir.file("empty.66"), "");
    std::filesystem::create_directory(dir.file("folder.66"));
    std::filesystem::create_symlink("CGROM66.66", dir.file("link.66"));
    const std::string wrong_size = " bytes, not 8192 (character ROM) or 32768 (kanji ROM)\n";
    const std::string usage = "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]\n";
    const std::string diff_usage = "usage: romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]\n";
    const std::string bdf_usage = "usage: romview --bdf IMAGE [-o FILE.bdf]\n";
    const RefusalCase cases[] = {
        {"image too short", " short.66", "romview: short.66 is not a ROM image: 100" + wrong_size, 1},
        {"image one byte too long", " long.66", "romview: long.66 is not a ROM image: 8193" + wrong_size, 1},
        {"empty image", " empty.66", "romview: empty.66 is not a ROM image: 0" + wrong_size, 1},
        {"endless image", " /dev/zero",
         "romview: /dev/zero is not a ROM image: more than 32768" + wrong_size, 1},
        {"missing image", " missing.66", "romview: cannot open missing.66\n", 1},
        {"image is a folder", " folder.66", "romview: cannot open folder.66\n", 1},
        {"sheet in a missing folder", " CGROM60.66 -o nowhere/sheet.png",
         "romview: cannot write nowhere/sheet.png\n", 1},
        {"sheet over a folder", " KANJIROM.66 -o folder.66", "romview: cannot write folder.66\n", 1},
        {"sheet over the image", " CGROM66.66 -o CGROM66.66",
         "romview: CGROM66.66 is the image CGROM66.66 itself; give -o another name\n", 1},
        {"sheet over a link to the image", " CGROM66.66 --list -o link.66",
         "romview: link.66 is the image CGROM66.66 itself; give -o another name\n", 1},
        {"font over the image", " --bdf KANJIROM.66 -o ./KANJIROM.66",
         "romview: ./KANJIROM.66 is the image KANJIROM.66 itself; give -o another name\n", 1},
        {"scale zero", " CGROM60.66 --scale 0", "romview: bad scale 0: give 1 to 8\n", 1},
        {"scale too large", " CGROM60.66 --scale 9", "romview: bad scale 9: give 1 to 8\n", 1},
        {"scale not a number", " CGROM60.66 --scale 2x", "romview: bad scale 2x: give 1 to 8\n", 1},
        {"cell beyond the character ROM", " CGROM66.66 --text 512", "romview: bad cell 512: give 0 to 511\n", 1},
        {"cell beyond the kanji ROM", " KANJIROM.66 --text 0x400", "romview: bad cell 0x400: give 0 to 1023\n", 1},
        {"negative cell", " CGROM66.66 --text -1", "romview: bad cell -1: give 0 to 511\n", 1},
        {"no image", "", usage, 1},
        {"two images", " CGROM60.66 CGROM66.66", usage, 1},
        {"unknown option", " CGROM60.66 -x", usage, 1},
        {"option without its value", " CGROM60.66 -o", usage, 1},
        {"sheet without a name", " KANJIROM.66 -o ''", "romview: cannot write a file without a name\n", 1},
        {"font with a list", " --bdf CGROM60.66 --list", bdf_usage, 1},
        {"font with a scale", " --bdf CGROM60.66 --scale 2", bdf_usage, 1},
        {"compare one image", " --diff CGROM60.66", diff_usage, 2},
        {"compare three images", " --diff CGROM60.66 CGROM66.66 KANJIROM.66", diff_usage, 2},
        {"compare with a list", " --diff CGROM60.66 CGROM66.66 --list", diff_usage, 2},
        {"compare and export", " --diff --bdf CGROM60.66 CGROM66.66", diff_usage, 2},
        {"compare with an unknown option", " --diff CGROM60.66 CGROM66.66 -x", diff_usage, 2},
        {"compare with a bad scale", " --diff CGROM60.66 CGROM66.66 -o d.png --scale 0",
         "romview: bad scale 0: give 1 to 8\n", 2},
        {"compare a missing image", " --diff CGROM60.66 missing.66", "romview: cannot open missing.66\n", 2},
        {"compare a short image", " --diff short.66 CGROM60.66",
         "romview: short.66 is not a ROM image: 100" + wrong_size, 2},
        {"compare different kinds", " --diff CGROM60.66 KANJIROM.66",
         "romview: CGROM60.66 is a character ROM, KANJIROM.66 a kanji ROM; only images of one kind compare\n", 2},
        {"difference sheet over an image", " --diff CGROM60.66 CGROM66.66 -o CGROM66.66",
         "romview: CGROM66.66 is the image CGROM66.66 itself; give -o another name\n", 2},
    };
    const Bytes image = read_file(dir.file("CGROM66.66"));
    for (const RefusalCase& c : cases) {
        const SplitRun run = run_romview(dir, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.err, c.message) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
    }
    EXPECT_EQ(read_file(dir.file("CGROM66.66")), image);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.66")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        EXPECT_NE(entry.path().extension(), ".png") << entry.path();
    }
}

// A character ROM of blank cells with the placeholder at these second-set codes.
std::string rom_with_placeholders(const std::vector<int>& codes) {
    std::string rom(8192, '\0');
    for (int code : codes) std::copy(placeholder, placeholder + 16, rom.begin() + (256 + code) * 16);
    return rom;
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
    std::string kanji(32768, '\xFF');
    for (int slot : {0, 0x3FF}) {
        std::fill_n(kanji.begin() + slot * 16, 16, '\0');
        std::fill_n(kanji.begin() + 16384 + slot * 16, 16, '\0');
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

std::vector<TestGlyph> solid_glyphs(const std::vector<std::int32_t>& codes, int width, int height) {
    std::vector<TestGlyph> glyphs;
    const std::string row(width / 4, 'F');
    for (std::int32_t code : codes) {
        glyphs.push_back({code, std::to_string(width) + " " + std::to_string(height) + " 0 -2",
                          std::vector<std::string>(height, row)});
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

// A 10-dot font with every second-set glyph its numbering can have leaves
// only the codes the other numbering or no font can fill, each named.
TEST(Romview, FontWithEveryGlyphLeavesOnlyCodesItsNumberingCannotFill) {
    const FullFontCase cases[] = {{"JISX0208.1990", JIS, "Unicode font"}, {"ISO10646", UNICODE, "JIS font"}};
    for (const FullFontCase& c : cases) {
        ScratchDir dir;
        write_file(dir.file("font.bdf"), make_font(c.registry, 8, 2, solid_glyphs(second_set_codes(c.kind), 8, 10)));
        ASSERT_EQ(run_in(dir, std::string(CELLFORGE_PATH) + " font.bdf").status, 0) << c.registry;
        const SplitRun run = run_romview(dir, " CGROM66.66 --list");
        EXPECT_EQ(run.status, 0) << c.registry;
        std::string expected;
        const Bytes rom = read_file(dir.file("CGROM66.66"));
        for (int code = 1; code < 256; ++code) {
            const GlyphWant want = glyph_want(RomLayout::two_character_sets, 256 + code);
            const Fillable fill = fillable(want);
            if (!shows_placeholder(rom, 256 + code)) continue;
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
    write_file(dir.file("font.bdf"), make_font("JISX0208.1990", 14, 2, solid_glyphs(codes, 16, 16)));
    ASSERT_EQ(run_in(dir, std::string(GLYPHMILL_PATH) + " font.bdf").status, 0);
    EXPECT_EQ(run_romview(dir, " KANJIROM.66 --list").out, "");
    EXPECT_NE(run_romview(dir, " KANJIROM.66 -o k.png").out.find("\nblank glyph slots: 0\n"), std::string::npos);
}

// Help and version on standard output with status 0, whatever else is given.
TEST(Romview, HelpAndVersionGoToStandardOutput) {
    ScratchDir dir;
    const SplitRun help = run_romview(dir, " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: romview IMAGE", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const SplitRun version = run_romview(dir, " missing.66 --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "romview " TOOLKIT_VERSION "\n");
}

// A romview run by its arguments and the status it must end with.
struct RunCase {
    const char* name;
    std::string arguments;
    int status;
};

// Reports that cannot all be written are a failure, never a silent success.
TEST(Romview, StandardOutputWriteErrorFails) {
    ScratchDir dir;
    make_sample_images(dir);
    const RunCase cases[] = {
        {"list", " CGROM66.66 --list", 1},
        {"summary", " CGROM66.66 -o sheet.png", 1},
        {"text", " KANJIROM.66 --text 0", 1},
        {"font", " --bdf KANJIROM.66", 1},
        {"help", " --help", 1},
        {"differences", " --diff CGROM60.66 CGROM66.66", 2},
        {"sheet to standard output", " CGROM66.66 -o -", 1},
        {"difference sheet to standard output", " --diff CGROM60.66 CGROM66.66 -o -", 2},
        {"font to standard output", " --bdf KANJIROM.66 -o -", 1},
    };
    for (const char* stream : {" >/dev/full", " >&-"}) {
        for (const RunCase& c : cases) {
            const SplitRun run = run_romview(dir, c.arguments + stream);
            EXPECT_EQ(run.status, c.status) << c.name << stream;
            EXPECT_EQ(run.err, "romview: cannot write standard output\n") << c.name << stream;
        }
    }
}

// /dev/stdout names the pipe romview's output goes into, not a file.
TEST(Romview, SheetAndFontToStandardOutputThroughItsName) {
    ScratchDir dir;
    make_sample_images(dir);
    const RunResult sheet = run_in(dir, romview + " KANJIROM.66 -o /dev/stdout | cat > sheet.png && head -c 4 sheet.png");
    EXPECT_EQ(sheet.output, "\x89PNG");
    const RunResult font = run_in(dir, "cp KANJIROM.66 before.66 && " + romview + " --bdf before.66 -o /dev/stdout | " +
                                           GLYPHMILL_PATH + " - && cmp KANJIROM.66 before.66");
    EXPECT_EQ(font.status, 0) << font.output;
}

// -o - gives standard output the bytes -o FILE writes, a font included, and
// the report that would have gone there goes to standard error instead;
// no file named - is made.
TEST(Romview, DashSendsTheSheetToStandardOutputAndTheReportToStandardError) {
    ScratchDir dir;
    make_sample_images(dir);
    const RunCase cases[] = {  // arguments without -o
        {"sheet and summary", " CGROM66.66 --scale 1", 0},
        {"sheet and list", " CGROM66.66 --list", 0},
        {"kanji sheet and text", " KANJIROM.66 --text 0", 0},
        {"difference sheet and differences", " --diff CGROM60.66 CGROM66.66", 1},
        {"font", " --bdf KANJIROM.66", 0},
    };
    for (const RunCase& c : cases) {
        const SplitRun to_file = run_romview(dir, c.arguments + " -o same.out");
        const SplitRun dash = run_romview(dir, c.arguments + " -o -");
        EXPECT_EQ(dash.status, c.status) << c.name << ": " << dash.err;
        EXPECT_EQ(to_file.status, c.status) << c.name << ": " << to_file.err;
        const Bytes file = read_file(dir.file("same.out"));
        EXPECT_FALSE(file.empty()) << c.name;
        EXPECT_EQ(Bytes(dash.out.begin(), dash.out.end()), file) << c.name;
        std::string report = to_file.out;
        const std::size_t sheet_line = report.find("sheet: same.out,");
        if (sheet_line != std::string::npos) report.replace(sheet_line + 7, 8, "standard output");
        EXPECT_EQ(dash.err, report) << c.name;
        EXPECT_FALSE(file_exists(dir.file("-"))) << c.name;
    }
}

// A small file system of its own, gone with the object.
struct SmallDisk {
    std::string path;
    bool mounted;
    explicit SmallDisk(const std::string& at) : path(at) {
        std::filesystem::create_directory(path);
        mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted) umount(path.c_str());
    }
};

// A sheet that cannot be written whole leaves the earlier one and the link
// to it as they were, and no temporary file.
TEST(Romview, FailedSheetLeavesTheEarlierSheetAndItsLink) {
    ScratchDir dir;
    make_sample_images(dir);
    const std::string old_sheet = "earlier sheet";
    // The file size limit: the run ends with an error, not a signal.
    write_file(dir.file("sheet.png"), old_sheet);
    std::filesystem::create_symlink("sheet.png", dir.file("link.png"));
    const SplitRun limited = run_romview(dir, " KANJIROM.66 -o link.png");
    ASSERT_EQ(limited.status, 0) << limited.err;  // the link followed, the sheet replaced
    write_file(dir.file("sheet.png"), old_sheet);
    const RunResult run = run_in(dir, "ulimit -f 4 && " + romview + " KANJIROM.66 -o link.png");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "romview: cannot write link.png\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    EXPECT_EQ(read_file(dir.file("sheet.png")), Bytes(old_sheet.begin(), old_sheet.end()));
    // A disk too small for the sheet, behind a link.
    SmallDisk disk(dir.file("disk"));
    if (!disk.mounted) GTEST_SKIP() << "cannot mount a 64 KB tmpfs (" << std::strerror(errno) << "); needs root";
    write_file(disk.path + "/sheet.png", old_sheet);
    std::filesystem::remove(dir.file("link.png"));
    std::filesystem::create_symlink("disk/sheet.png", dir.file("link.png"));
    const SplitRun full = run_romview(dir, " KANJIROM.66 -o link.png");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "romview: cannot write link.png\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    EXPECT_EQ(read_file(disk.path + "/sheet.png"), Bytes(old_sheet.begin(), old_sheet.end()));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(disk.path)) ++files;
    EXPECT_EQ(files, 1) << "a temporary file was left on the full disk";
}

// Dots of cell 0x141 as (row, byte) changes to a copy of a character ROM.
std::string changed(std::string rom, int cell, int row, char byte) {
    rom[cell * 16 + row] = byte;
    return rom;
}

struct DiffCase {
    const char* name;
    std::string second;
    std::string listing;
    int status;
};

// Each differing glyph once, with what the tables want there and how many
// dots differ; the status is cmp's.
TEST(Romview, DiffListsEachDifferingGlyph) {
    ScratchDir dir;
    const std::string first(8192, '\0');
    write_file(dir.file("a.66"), first);
    const DiffCase cases[] = {
        {"equal", first, "", 0},
        {"one dot of the first set", changed(first, 0x41, 3, '\x10'),
         "0x041\t1 dot\t\xEF\xBC\xA1 U+FF21 JIS 2341\n", 1},
        {"first-set code naming a variant of its JIS character", changed(first, 0x2D, 0, '\x80'),
         "0x02D\t1 dot\t\xEF\xBC\x8D U+FF0D JIS 215D\n", 1},
        {"three dots of the second set, a row beyond the glyph: the mosaic's", changed(first, 0x126, 12, '\x07'),
         "0x126\t3 dots\tblock mosaic\n", 1},
        {"two cells", changed(changed(first, 0x1FF, 0, '\x01'), 0x100, 9, '\x80'),
         "0x100\t1 dot\tno glyph in the tables\n0x1FF\t1 dot\t\xE2\x96\xA0 U+25A0 JIS 2223\n", 1},
    };
    for (const DiffCase& c : cases) {
        write_file(dir.file("b.66"), c.second);
        const SplitRun run = run_romview(dir, " --diff a.66 b.66");
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.listing) << c.name;
        EXPECT_EQ(run.err, "") << c.name;
    }
    std::string kanji(32768, '\0');
    write_file(dir.file("k1.66"), kanji);
    kanji[16384 + 1023 * 16] = '\x03';
    write_file(dir.file("k2.66"), kanji);
    EXPECT_EQ(run_romview(dir, " --diff k1.66 k2.66").out, "0x3FF\t2 dots\t\xE8\xA9\xB1 U+8A71 JIS 4F43\n");
}

struct LayoutDiffCase {
    const char* name;
    const char* first;
    const char* second;
    std::string listing;
};

// When either image has the layout of CGROM60.66, its cells 256..319 are
// named the block mosaic and cells 320..511 not at all.
TEST(Romview, DiffNamesTheCellsOfTheMosaicLayout) {
    ScratchDir dir;
    make_sample_images(dir);
    const std::string two_sets = changed(changed(std::string(8192, '\0'), 0x041, 0, '\x80'), 0x150, 0, '\x80');
    write_file(dir.file("sets.66"), two_sets);
    write_file(dir.file("mosaic.66"), changed(std::string(8192, '\0'), 0x101, 10, '\x0F'));
    Bytes sample = read_file(dir.file("CGROM60.66"));
    for (int cell : {0x041, 0x121, 0x150}) sample[cell * 16] ^= 1;
    write_file(dir.file("changed.66"), std::string(sample.begin(), sample.end()));
    const std::string letter_a = "0x041\t1 dot\t\xEF\xBC\xA1 U+FF21 JIS 2341\n";
    const LayoutDiffCase cases[] = {
        {"second image of the mosaic layout", "sets.66", "mosaic.66",
         letter_a + "0x101\t4 dots\tblock mosaic\n0x150\t1 dot\n"},
        {"first image of the mosaic layout", "mosaic.66", "sets.66",
         letter_a + "0x101\t4 dots\tblock mosaic\n0x150\t1 dot\n"},
        {"both made by cellforge", "CGROM60.66", "changed.66",
         letter_a + "0x121\t1 dot\tblock mosaic\n0x150\t1 dot\n"},
    };
    for (const LayoutDiffCase& c : cases) {
        const SplitRun run = run_romview(dir, std::string(" --diff ") + c.first + " " + c.second);
        EXPECT_EQ(run.status, 1) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.listing) << c.name;
    }
}

struct LayoutListCase {
    const char* name;
    int cell;  // gets a dot in row
    int row;
    std::string listed;
};

// A dot in rows 10..15 of a cell 256..511 marks the layout of CGROM60.66,
// which has no second set: cells showing the placeholder are no missing
// codes there, neither listed, nor counted, nor on pale red.
TEST(Romview, MosaicLayoutHasNoSecondSetCodes) {
    const LayoutListCase cases[] = {
        {"no dot beyond the glyph rows", 0x141, 9, "0x2C\n0x70\n"},
        {"dot beyond the glyph rows of a first-set cell", 0x041, 10, "0x2C\n0x70\n"},
        {"dot in row 10 of a mosaic cell", 0x101, 10, ""},
        {"dot in row 15 of the last cell", 0x1FF, 15, ""},
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

// The difference sheet shows each dot in the colour of where it is set.
TEST(Romview, DiffSheetColoursDotsByImage) {
    ScratchDir dir;
    std::string first(8192, '\0');
    std::string second(8192, '\0');
    first[0x41 * 16] = '\xC0';   // dots 0 and 1 in the first image
    second[0x41 * 16] = '\x60';  // dots 1 and 2 in the second
    write_file(dir.file("a.66"), first);
    write_file(dir.file("b.66"), second);
    const SplitRun run = run_romview(dir, " --diff a.66 b.66 -o diff.png --scale 3");
    ASSERT_EQ(run.status, 1) << run.err;
    const Png png = read_png(dir.file("diff.png"));
    const SheetLayout layout = sheet_layout(RomKind::character, 3);
    ASSERT_EQ(png.width, layout.width);
    EXPECT_TRUE(square_is(png, dot_pixel(layout, 0x41, 0, 0), 3, only_first_colour));
    EXPECT_TRUE(square_is(png, dot_pixel(layout, 0x41, 1, 0), 3, dot_colour));
    EXPECT_TRUE(square_is(png, dot_pixel(layout, 0x41, 2, 0), 3, only_second_colour));
    EXPECT_TRUE(square_is(png, dot_pixel(layout, 0x41, 3, 0), 3, differing_paper_colour));
    EXPECT_TRUE(square_is(png, dot_pixel(layout, 0x42, 0, 0), 3, paper_colour));
}

// A ROM image of pseudo-random dots; in a character ROM only the ten glyph
// rows of each cell are set.
std::string random_rom(std::size_t size, unsigned seed) {
    std::string rom(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (size == 32768 || i % 16 < 10) rom[i] = static_cast<char>(seed >> 16);
    }
    return rom;
}

struct RoundTripCase {
    const char* name;
    std::string image;     // made in the test, or a sample's name
    std::string rom;       // empty: the sample image
};

// glyphmill reads the exported font of a kanji ROM back into the same image.
TEST(Romview, KanjiFontGivesTheSameImageBack) {
    ScratchDir dir;
    make_sample_images(dir);
    const RoundTripCase cases[] = {
        {"sample", "KANJIROM.66", ""},
        {"random dots", "random.66", random_rom(32768, 7)},
        {"blank slots", "blank.66", std::string(32768, '\0')},
    };
    std::filesystem::create_directory(dir.file("back"));
    for (const RoundTripCase& c : cases) {
        if (!c.rom.empty()) write_file(dir.file(c.image), c.rom);
        const RunResult run = run_in(dir, romview + " --bdf " + c.image + " | (cd back && " + GLYPHMILL_PATH + " -)");
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.output;
        EXPECT_EQ(read_file(dir.file("back/KANJIROM.66")), read_file(dir.file(c.image))) << c.name;
    }
}

// cellforge -ascii puts cells 1..255 of the exported font back in place.
TEST(Romview, CharacterFontGivesTheFirstSetBack) {
    ScratchDir dir;
    make_sample_images(dir);
    const RoundTripCase cases[] = {
        {"sample first image", "CGROM60.66", ""},
        {"sample second image", "CGROM66.66", ""},
        {"random dots", "random.66", random_rom(8192, 11)},
    };
    std::filesystem::create_directory(dir.file("back"));
    for (const RoundTripCase& c : cases) {
        if (!c.rom.empty()) write_file(dir.file(c.image), c.rom);
        const SplitRun exported = run_romview(dir, " --bdf " + c.image + " -o back/set1.bdf");
        ASSERT_EQ(exported.status, 0) << c.name << ": " << exported.err;
        EXPECT_EQ(exported.out, "") << c.name;
        const RunResult run = run_in(dir, std::string("cd back && ") + CELLFORGE_PATH + " -ascii set1.bdf");
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.output;
        const Bytes original = read_file(dir.file(c.image));
        const Bytes back = read_file(dir.file("back/CGROM60.66"));
        ASSERT_EQ(back.size(), 8192u) << c.name;
        EXPECT_TRUE(std::equal(original.begin() + 16, original.begin() + 4096, back.begin() + 16)) << c.name;
    }
}

// The cells of the second half sit where no code table looks.
TEST(Romview, SecondHalfOfTheCharacterFontUsesCodesNoTableNames) {
    const std::int32_t first = bdf_encoding(RomKind::character, 256);
    const std::int32_t last = bdf_encoding(RomKind::character, 511);
    const auto outside = [&](std::int32_t code) { return code < first || code > last; };
    for (int cell = 0; cell < 256; ++cell) {
        for (CharsetKind kind : {JIS, UNICODE}) {
            EXPECT_TRUE(outside(set1_code_map.code[kind][cell])) << cell;
            EXPECT_TRUE(outside(set2_code_map.code[kind][cell])) << cell;
        }
    }
    for (const CompositeEntry& entry : composite_table) {
        for (std::int32_t code : {entry.first_jis, entry.first_unicode, entry.second_jis, entry.second_unicode}) {
            EXPECT_TRUE(outside(code)) << entry.target;
        }
    }
    for (int b = 0; b < extra_symbol_count; ++b) EXPECT_TRUE(outside(extra_symbol_map[UNICODE][b]));
}

// FontForge opens both exported fonts with every glyph and no warning.
TEST(Romview, FontForgeOpensTheExportedFonts) {
    ScratchDir dir;
    if (run_in(dir, "command -v fontforge").status != 0) GTEST_SKIP() << "fontforge is not installed";
    make_sample_images(dir);
    for (const char* image : {"CGROM66.66", "KANJIROM.66"}) {
        ASSERT_EQ(run_romview(dir, std::string(" --bdf ") + image + " -o font.bdf").status, 0) << image;
        const RunResult run = run_in(dir, "fontforge -quiet -lang=py -c 'import fontforge; f = fontforge.open("
                                          "\"font.bdf\"); print(\"glyphs\", len(list(f.glyphs())))'");
        EXPECT_EQ(run.status, 0) << image << ": " << run.output;
        const std::string glyphs = std::string("glyphs ") + (image[0] == 'K' ? "1024" : "512") + "\n";
        EXPECT_NE(run.output.find(glyphs), std::string::npos) << image << ": " << run.output;
        EXPECT_EQ(run.output.find("arning"), std::string::npos) << image << ": " << run.output;
    }
}

}  // namespace
