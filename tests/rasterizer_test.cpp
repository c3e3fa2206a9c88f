// The rasterizer: placement on the baseline, centring and scaling for the
// cell, transforms, row bits, area reduction and clipping.
#include <gtest/gtest.h>

#include <string>

#include "line_scan.h"
#include "rasterizer.h"
#include "test_support.h"

namespace {

struct RasterCase {
    const char* name;
    int ascent;
    int descent;
    std::string glyphs;  // the font's glyph lines after its properties
    int width;
    int height;
    GlyphTransform transform;  // identity when all zero
    std::string picture;
};

// Rasterizes the font's first glyph into a width x height cell.
std::string rasterize_text(const RasterCase& c) {
    const std::string font = "FONT_ASCENT " + std::to_string(c.ascent) + "\nFONT_DESCENT " +
                             std::to_string(c.descent) + "\nCHARSET_REGISTRY \"JISX0208\"\n" + c.glyphs;
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, font);
    const HeaderScan scan = scan_header(stream, false);
    EXPECT_EQ(scan.error, FontError::none) << c.name;
    char line[line_capacity];
    while (read_line(stream, line) && after_keyword(line, "ENCODING") == nullptr) {
    }
    const bool identity = c.transform.x_scale == 0;
    const CellDots dots = rasterize_glyph(stream, scan.header, c.width, c.height, identity ? nullptr : &c.transform);
    close_font_stream(stream);
    return draw_rows(dots.rows, c.width, c.height);
}

// A solid 6 x 8 box from the 6 x 8 font's origin.
const std::string box_6x8 = "ENCODING 1\nBBX 6 8 0 -1\nBITMAP\nFC\nFC\nFC\nFC\nFC\nFC\nFC\nFC\nENDCHAR\n";

std::string rows_of(int count, const std::string& row) {
    std::string rows;
    for (int i = 0; i < count; ++i) rows += row + "\n";
    return rows;
}

// A 16 x 16 glyph with one dot on each grid row y at column y: a diagonal.
std::string diagonal_16() {
    std::string glyph = "ENCODING 1\nBBX 16 16 0 -2\nBITMAP\n";
    for (int y = 0; y < 16; ++y) {
        char row[8];
        std::snprintf(row, sizeof row, "%04X\n", 0x8000 >> y);
        glyph += row;
    }
    return glyph + "ENDCHAR\n";
}

const GlyphTransform none{0, 0, 0, 0};

TEST(Rasterizer, PlacesScalesAndReduces) {
    const RasterCase cases[] = {
        {"6x8 font centred in 8x10 cell", 7, 1, box_6x8, 8, 10, none,
         "........\n.######.\n.######.\n.######.\n.######.\n.######.\n.######.\n.######.\n.######.\n........\n"},
        {"width 5 row F8 sets columns 0..4", 2, 0, "ENCODING 1\nBBX 5 2 0 0\nBITMAP\nF8\n08\nENDCHAR\n", 8, 2, none,
         ".#####..\n.....#..\n"},
        {"width 12: column 0 is bit 15, column 11 bit 4", 1, 0, "ENCODING 1\nBBX 12 1 0 0\nBITMAP\n8010\nENDCHAR\n", 12, 1, none,
         "#..........#\n"},
        {"16x16 font into 8x10: rows 0, 1-2, 4-5 ...", 14, 2, diagonal_16(), 8, 10, none,
         "#.......\n##......\n.#......\n..#.....\n...#....\n....#...\n....##..\n.....#..\n......#.\n.......#\n"},
        {"24x24 font at scale 1.5: columns {0},{1,2},{3},{4,5}", 22, 2,
         "ENCODING 1\nBBX 24 24 0 -2\nBITMAP\n" + rows_of(24, "900000") + "ENDCHAR\n", 16, 16, none,
         rows_of(16, "#.#.............")},
        {"glyph height 0 yields nothing", 8, 0, "ENCODING 1\nBBX 8 0 0 0\nBITMAP\nFF\nENDCHAR\n", 8, 2, none,
         "........\n........\n"},
        {"negative offset clamped to column 0", 2, 0, "BBX 5 1 -3 0\nENCODING 1\nBBX 2 2 -3 0\nBITMAP\nC0\nC0\nENDCHAR\n", 8, 2, none,
         "##......\n##......\n"},
        {"wide and short font: shrunk across, centred down", 2, 0,
         "ENCODING 1\nBBX 16 2 0 0\nBITMAP\nC000\n0003\nENDCHAR\n", 8, 4, none,
         "........\n#.......\n.......#\n........\n"},
        {"rows above the ascent are lost", 1, 0, "ENCODING 1\nBBX 8 2 0 0\nBITMAP\n80\n01\nENDCHAR\n", 8, 1, none,
         ".......#\n"},
        {"missing rows at end of file are blank", 2, 0, "ENCODING 1\nBBX 8 2 0 0\nBITMAP\nFF\n", 8, 2, none,
         "########\n........\n"},
        {"ENDCHAR ends a short bitmap", 3, 0,
         "ENCODING 1\nBBX 8 3 0 0\nBITMAP\n81\nENDCHAR\nENCODING 2\nBBX 8 3 0 0\nBITMAP\nFF\nFF\nFF\nENDCHAR\n", 8, 3, none,
         "#......#\n........\n........\n"},
        {"BBX height 10^6 with three rows", 2, 0,
         "ENCODING 1\nBBX 8 1000000 0 -999998\nBITMAP\n81\n42\n24\nENDCHAR\n", 8, 2, none,
         "#......#\n.#....#.\n"},
        {"non-hex row is blank", 2, 0, "ENCODING 1\nBBX 8 2 0 0\nBITMAP\nzz\nFF\nENDCHAR\n", 8, 2, none,
         "........\n########\n"},
        {"partial BBX lines are skipped", 2, 0, "ENCODING 1\nBBX 8 2\nBBX 8 2 0 0\nBITMAP\n18\n18\nENDCHAR\n", 8, 2, none,
         "...##...\n...##...\n"},
        {"glyph without BBX before end of file is blank", 2, 0, "BBX 8 2 0 0\nENCODING 1\nBITMAP\nFF\n", 8, 2, none,
         "........\n........\n"},
        {"transform squeezes and shifts right", 1, 0, "BBX 8 1 0 0\nENCODING 1\nBBX 8 1 0 0\nBITMAP\nFF\nENDCHAR\n", 8, 1,
         {2, 0.5, 1, 0}, "..####..\n"},
        {"transform moves up and left of the grid", 2, 0, "BBX 8 2 0 0\nENCODING 1\nBBX 8 2 0 0\nBITMAP\nF0\n0F\nENDCHAR\n", 8, 2,
         {1, -0.5, 1, 0.5}, "####....\n........\n"},
        {"offset products truncate unfused: 10 x -0.4 + 5 is 1", 10, 0,
         "BBX 8 10 0 0\nENCODING 1\nBBX 1 1 0 5\nBITMAP\n80\nENDCHAR\n", 8, 10, {1, 0, 1, -0.4},
         "........\n........\n........\n........\n........\n........\n........\n........\n#.......\n........\n"},
    };
    for (const RasterCase& c : cases) {
        EXPECT_EQ(rasterize_text(c), c.picture) << c.name;
    }
}

// Rows wider than 64 dots: the grid keeps columns 0..63, so the 80-dot row
// shows its first four dots and loses its last four.
TEST(Rasterizer, WideRowClippedToGrid) {
    const std::string font = "FONT_ASCENT 1\nFONT_DESCENT 0\nCHARSET_REGISTRY \"JISX0208\"\nBBX 16 1 0 0\n"
                             "ENCODING 1\nBBX 80 1 0 0\nBITMAP\nF000000000000000000F\nENDCHAR\n";
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, font);
    HeaderScan scan = scan_header(stream, false);
    scan.header.font_width = 16;  // keep scale 1 so the grid columns show as they are
    char line[line_capacity];
    while (read_line(stream, line) && after_keyword(line, "ENCODING") == nullptr) {
    }
    const CellDots dots = rasterize_glyph(stream, scan.header, 16, 1, nullptr);
    EXPECT_EQ(draw_rows(dots.rows, 16, 1), "####............\n");
    close_font_stream(stream);
}

// In a font 2^31 dots high no box, however extreme, reaches a dot of the
// cell; the rasterizer computes that without overflowing.
TEST(Rasterizer, ExtremeBoxValuesLeaveTheCellBlank) {
    std::string blank_cell;
    for (int row = 0; row < 10; ++row) blank_cell += "........\n";
    const char* boxes[] = {"2147483647 2147483647 2147483647 2147483647", "-2147483648 1 0 0", "8 -2147483648 0 0",
                           "8 1 -2147483648 0", "8 1 0 -2147483648", "8 1 2147483647 0", "8 1 0 2147483647",
                           "2147483647 1 -2147483648 -2147483648"};
    for (const char* box : boxes) {
        const RasterCase c{box, 2147483647, 2147483647,
                           std::string("BBX 8 1 0 0\nENCODING 1\nBBX ") + box + "\nBITMAP\nFF\nFFFFFFFFFFFFFFFFFFFFFFFF\nENDCHAR\n",
                           8, 10, {1.5, 2, 1, -0.5}, ""};
        EXPECT_EQ(rasterize_text(c), blank_cell) << box;
    }
}

}  // namespace
