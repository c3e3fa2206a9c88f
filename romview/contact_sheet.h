// A ROM image drawn as a contact sheet: every glyph in a cell of a table,
// each dot a square of scale x scale pixels, a one-pixel grid line between
// cells, and hexadecimal codes along the edges: above each column the code
// of its cells within their line, left of each line the code of its first
// cell. Each bank of the image is a square table, labelled from 0 on its
// own, the tables side by side: a character ROM gives the first and the
// second character set, a kanji ROM one table of all its slots.
// Second-set cells that show the placeholder stand on a pale red ground, so
// the codes the font lacked stand out.
#pragma once
#include <cstdint>
#include <vector>

#include "rom_image.h"

constexpr int min_scale = 1;
constexpr int max_scale = 8;
constexpr int default_scale = 2;

struct Colour {
    std::uint8_t red, green, blue;
};

constexpr Colour paper_colour{255, 255, 255};
constexpr Colour dot_colour{0, 0, 0};
constexpr Colour grid_colour{190, 190, 190};
constexpr Colour label_colour{20, 50, 160};
constexpr Colour placeholder_paper_colour{255, 205, 205};
constexpr Colour only_first_colour{210, 30, 30};      // a dot of the first image only
constexpr Colour only_second_colour{0, 140, 0};       // a dot of the second image only
constexpr Colour differing_paper_colour{255, 240, 170};

struct SheetLayout {
    int scale;        // pixels a dot
    int label_scale;  // pixels a dot of the label digits
    int glyph_width;  // dots
    int per_line;     // cells a line of a table
    int line_count;   // lines a table
    int table_count;
    int row_label_digits;
    int column_label_digits;
    int padding;               // pixels around labels
    int pitch_x, pitch_y;      // from a cell's grid line to the next cell's
    int table_left;            // x of the first table's left grid line
    int table_top;             // y of every table's top grid line
    int table_pitch;           // from one table's left grid line to the next's
    int width, height;         // of the whole sheet
};

struct Pixel {
    int x, y;
};

// scale must lie in min_scale..max_scale.
SheetLayout sheet_layout(RomKind kind, int scale);

// The top-left pixel of the square that shows dot (x, y) of glyph index.
Pixel dot_pixel(const SheetLayout& layout, int index, int x, int y);

// Pixels row by row from the top, three bytes (red, green, blue) a pixel.
struct Sheet {
    int width, height;
    std::vector<std::uint8_t> pixels;
};

Sheet draw_sheet(const RomImage& image, int scale);

// The sheet of two images of the same kind laid over each other: dots in
// both in black, dots of the first only in red, of the second only in
// green, glyphs that differ on a pale yellow ground; a legend under the
// tables says so ("1ST ONLY", "2ND ONLY", "BOTH", "CELL DIFFERS").
Sheet draw_difference_sheet(const RomImage& first, const RomImage& second, int scale);
