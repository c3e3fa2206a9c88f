// romview run on the images of the bundled sample fonts and on images made
// in the test: the PNG sheet decoded and compared dot by dot with the image
// bytes, the placeholder list, one cell as text, and refused input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "contact_sheet.h"
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
        const RunResult run = run_in(dir, romview + " " + std::string(image) + " --list");
        EXPECT_EQ(run.status, 0) << image;
        EXPECT_EQ(run.output, expected_list(read_file(dir.file(image)))) << image;
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
    const std::string placeholders = "(the font could not provide them): " + std::to_string(listed);
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
    rom[(256 + 2) * 16 + 15] = 1;  // one stray dot: not the placeholder
    put(256 + 0xFF);
    write_file(dir.file("made.66"), rom);
    const RunResult run = run_in(dir, romview + " made.66 --list");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "0x01\n0xFF\n");
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
    std::string message;
};

// One line, status 1, and no sheet left behind.
TEST(Romview, RefusalPrintsOneLineAndExitsWithOne) {
    ScratchDir dir;
    make_sample_images(dir);
    write_file(dir.file("short.66"), std::string(100, '\0'));
    write_file(dir.file("long.66"), std::string(8193, '\0'));
    write_file(dir.file("empty.66"), "");
    std::filesystem::create_directory(dir.file("folder.66"));
    const std::string wrong_size = " bytes, not 8192 (character ROM) or 32768 (kanji ROM)";
    const std::string usage = "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]";
    const RefusalCase cases[] = {
        {"image too short", " short.66", "short.66 is not a ROM image: 100" + wrong_size},
        {"image one byte too long", " long.66", "long.66 is not a ROM image: 8193" + wrong_size},
        {"empty image", " empty.66", "empty.66 is not a ROM image: 0" + wrong_size},
        {"missing image", " missing.66", "cannot open missing.66"},
        {"image is a folder", " folder.66", "cannot open folder.66"},
        {"sheet in a missing folder", " CGROM60.66 -o nowhere/sheet.png", "cannot write nowhere/sheet.png"},
        {"sheet over a folder", " KANJIROM.66 -o folder.66", "cannot write folder.66"},
        {"scale zero", " CGROM60.66 --scale 0", "bad scale 0: give 1 to 8"},
        {"scale too large", " CGROM60.66 --scale 9", "bad scale 9: give 1 to 8"},
        {"scale not a number", " CGROM60.66 --scale 2x", "bad scale 2x: give 1 to 8"},
        {"cell beyond the character ROM", " CGROM66.66 --text 512", "bad cell 512: give 0 to 511"},
        {"cell beyond the kanji ROM", " KANJIROM.66 --text 0x400", "bad cell 0x400: give 0 to 1023"},
        {"negative cell", " CGROM66.66 --text -1", "bad cell -1: give 0 to 511"},
        {"no image", "", usage},
        {"two images", " CGROM60.66 CGROM66.66", usage},
        {"unknown option", " CGROM60.66 -x", usage},
        {"option without its value", " CGROM60.66 -o", usage},
    };
    for (const RefusalCase& c : cases) {
        const RunResult run = run_in(dir, romview + c.arguments);
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_EQ(run.output, c.message + "\n") << c.name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        EXPECT_NE(entry.path().extension(), ".png") << entry.path();
    }
}

}  // namespace
