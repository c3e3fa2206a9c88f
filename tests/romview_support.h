// What romview's tests share: the sample images, romview run with its two
// output streams apart, pictures of glyphs read straight from the image
// bytes, images made in the test, and the PNG sheets read back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "rom_format.h"
#include "test_support.h"

extern const std::string romview;

// The three images of the sample fonts, written into dir.
void make_sample_images(const ScratchDir& dir);

struct SplitRun {
    int status;
    std::string out;  // standard output
    std::string err;  // standard error
};

// romview with these arguments, its two output streams apart.
SplitRun run_romview(const ScratchDir& dir, const std::string& arguments);

bool is_kanji_rom(const Bytes& rom);
int glyph_count(const Bytes& rom);

// Glyph index of a ROM image as rows of '#' and '.', read straight from the bytes.
std::string rom_picture(const Bytes& rom, int index);
bool shows_placeholder(const Bytes& rom, int index);
bool is_blank(const Bytes& rom, int index);

// A character ROM of blank cells with the placeholder at these second-set codes.
std::string rom_with_placeholders(const std::vector<int>& codes);

// A copy of a character ROM with byte at row of cell.
std::string changed(std::string rom, int cell, int row, char byte);

// A ROM image of pseudo-random dots; in a character ROM only the glyph rows
// of each cell are set.
std::string random_rom(std::size_t size, unsigned seed);

// The codes of a --list, each line cut at its first tab.
std::string listed_codes(const std::string& list);

// The --list of an image, codes only, worked out from its bytes.
std::string expected_list(const Bytes& rom);

struct Png {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Png read_png(const std::string& path);
bool pixel_is(const Png& png, int x, int y, Colour colour);
bool square_is(const Png& png, Pixel corner, int size, Colour colour);

// Glyph index as the sheet shows it: '#' for a square of the dot colour,
// '.' for one of the cell's paper, '?' for anything else.
std::string sheet_picture(const Png& png, const SheetLayout& layout, int index, Colour paper);
