// romview --diff: the glyphs in which two images differ, named by the
// layout of either, and the difference sheet.
#include <gtest/gtest.h>

#include <string>

#include "romview_support.h"

namespace {

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
    const std::string first(character_rom_size, '\0');
    write_file(dir.file("a.66"), first);
    const DiffCase cases[] = {
        {"equal", first, "cells differing: 0\n", 0},
        {"one dot of the first set", changed(first, 0x41, 3, '\x10'),
         "0x041\t1 dot\t\xEF\xBC\xA1 U+FF21 JIS 2341\ncells differing: 1\n", 1},
        {"first-set code naming a variant of its JIS character", changed(first, 0x2D, 0, '\x80'),
         "0x02D\t1 dot\t\xEF\xBC\x8D U+FF0D JIS 215D\ncells differing: 1\n", 1},
        {"three dots of the second set, a row beyond the glyph: the mosaic's", changed(first, 0x126, 12, '\x07'),
         "0x126\t3 dots\tblock mosaic\ncells differing: 1\n", 1},
        {"two cells", changed(changed(first, 0x1FF, 0, '\x01'), 0x100, 9, '\x80'),
         "0x100\t1 dot\tno glyph in the tables\n0x1FF\t1 dot\t\xE2\x96\xA0 U+25A0 JIS 2223\ncells differing: 2\n",
         1},
    };
    for (const DiffCase& c : cases) {
        write_file(dir.file("b.66"), c.second);
        const SplitRun run = run_romview(dir, " --diff a.66 b.66");
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.listing) << c.name;
        EXPECT_EQ(run.err, "") << c.name;
    }
    std::string kanji(kanji_rom_size, '\0');
    write_file(dir.file("k1.66"), kanji);
    kanji[kanji_plane_size + (kanji_slot_count - 1) * kanji_glyph_size] = '\x03';
    write_file(dir.file("k2.66"), kanji);
    EXPECT_EQ(run_romview(dir, " --diff k1.66 k2.66").out,
              "0x3FF\t2 dots\t\xE8\xA9\xB1 U+8A71 JIS 4F43\nglyphs differing: 1\n");
}

struct LayoutDiffCase {
    const char* name;
    const char* first;
    const char* second;
    std::string listing;
};

// When either image has the layout of CGROM60.66, its mosaic cells are
// named the block mosaic and the cells after them not at all.
TEST(Romview, DiffNamesTheCellsOfTheMosaicLayout) {
    ScratchDir dir;
    make_sample_images(dir);
    const std::string blank(character_rom_size, '\0');
    const std::string two_sets = changed(changed(blank, 0x041, 0, '\x80'), 0x150, 0, '\x80');
    write_file(dir.file("sets.66"), two_sets);
    write_file(dir.file("mosaic.66"), changed(blank, 0x101, cell_glyph_rows, '\x0F'));
    Bytes sample = read_file(dir.file("CGROM60.66"));
    for (int cell : {0x041, 0x121, 0x150}) sample[cell * cell_bytes] ^= 1;
    write_file(dir.file("changed.66"), std::string(sample.begin(), sample.end()));
    const std::string letter_a = "0x041\t1 dot\t\xEF\xBC\xA1 U+FF21 JIS 2341\n";
    const LayoutDiffCase cases[] = {
        {"second image of the mosaic layout", "sets.66", "mosaic.66",
         letter_a + "0x101\t4 dots\tblock mosaic\n0x150\t1 dot\ncells differing: 3\n"},
        {"first image of the mosaic layout", "mosaic.66", "sets.66",
         letter_a + "0x101\t4 dots\tblock mosaic\n0x150\t1 dot\ncells differing: 3\n"},
        {"both made by cellforge", "CGROM60.66", "changed.66",
         letter_a + "0x121\t1 dot\tblock mosaic\n0x150\t1 dot\ncells differing: 3\n"},
    };
    for (const LayoutDiffCase& c : cases) {
        const SplitRun run = run_romview(dir, std::string(" --diff ") + c.first + " " + c.second);
        EXPECT_EQ(run.status, 1) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, c.listing) << c.name;
    }
}

// The difference sheet shows each dot in the colour of where it is set.
TEST(Romview, DiffSheetColoursDotsByImage) {
    ScratchDir dir;
    std::string first(character_rom_size, '\0');
    std::string second(character_rom_size, '\0');
    first[0x41 * cell_bytes] = '\xC0';   // dots 0 and 1 in the first image
    second[0x41 * cell_bytes] = '\x60';  // dots 1 and 2 in the second
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
    // Under the tables, a legend shows each of the colours.
    ASSERT_GT(png.height, layout.height);
    for (const Colour colour : {only_first_colour, only_second_colour, dot_colour, differing_paper_colour}) {
        bool shown = false;
        for (int y = layout.height; y < png.height && !shown; ++y) {
            for (int x = 0; x < png.width && !shown; ++x) shown = pixel_is(png, x, y, colour);
        }
        EXPECT_TRUE(shown) << "the legend lacks a colour";
    }
}

}  // namespace
