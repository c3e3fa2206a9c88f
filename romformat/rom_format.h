// What every program knows about the target's images: how fonts number
// their glyphs, how a glyph is squeezed into a shared cell, and the layout
// of the three ROM images. The code tables beside this file say which
// glyph fills which cell.
//
// - "CGROM60.66" and "CGROM66.66", the character ROMs: 512 cells of 16
//   bytes, one byte a dot row from the top, bit 7 the leftmost of 8 dots.
//   A glyph fills rows 0..9; rows 10..15 are 0 but for the 2 x 3 block
//   mosaic in cells 256..319 of "CGROM60.66". Cells 0..255 are the first
//   character set (bank 0), cells 256..511 the second (bank 1) or, in
//   "CGROM60.66", the mosaic and blank cells.
// - "KANJIROM.66", the kanji ROM: 1024 glyphs of 16 x 16 dots in two
//   planes, left halves (columns 0..7) then right halves (columns 8..15);
//   slot k's row r is byte 16k + r of each plane.
#pragma once
#include <cstddef>
#include <cstdint>

// How a font numbers its glyphs; the index into every pair of code tables.
enum CharsetKind : int { JIS = 0, UNICODE = 1 };

// Squeezes and shifts a glyph so that two glyphs can share a cell. A scale
// of s draws the glyph at 1/s of its size; offsets are in font widths and
// font heights, positive x to the right and positive y upwards.
struct GlyphTransform {
    double x_scale;
    double x_offset;
    double y_scale;
    double y_offset;
};

// The character ROMs.
constexpr const char* character_rom_60_name = "CGROM60.66";
constexpr const char* character_rom_66_name = "CGROM66.66";
constexpr int cell_bytes = 16;      // rows stored a cell
constexpr int cell_width = 8;       // dots a row
constexpr int cell_glyph_rows = 10;  // rows a font glyph fills
constexpr int bank_cell_count = 256;
constexpr int character_bank_count = 2;
constexpr int character_cell_count = bank_cell_count * character_bank_count;
constexpr std::size_t character_rom_size = std::size_t{character_cell_count} * cell_bytes;
constexpr int second_set_first_cell = bank_cell_count;
constexpr int mosaic_first_cell = second_set_first_cell;  // the 2 x 3 mosaic of "CGROM60.66"
constexpr int mosaic_cell_count = 64;
constexpr int mosaic_rows = 12;

// The second-set cells 0 .. drawn_second_set_cells - 1 of "CGROM66.66"
// cellforge draws itself (the 2 x 2 mosaic, lower blocks, bars and
// shading); the fonts fill the others.
constexpr int drawn_second_set_cells = 38;

// What a second-set cell of "CGROM66.66" (but cell 0) shows where no font
// gave it a glyph: rows 0..3 and 5..8 full width but for the last dot.
constexpr int placeholder_first_code = 1;
constexpr std::uint8_t placeholder_rows[cell_bytes] = {0xFE, 0xFE, 0xFE, 0xFE, 0,    0xFE, 0xFE, 0xFE,
                                                       0xFE, 0,    0,    0,    0,    0,    0,    0};

// The kanji ROM.
constexpr const char* kanji_rom_name = "KANJIROM.66";
constexpr int kanji_slot_count = 1024;
constexpr int kanji_glyph_size = 16;  // dots a row and rows a glyph
constexpr int kanji_plane_count = 2;
constexpr int kanji_plane_size = kanji_slot_count * kanji_glyph_size;
constexpr std::size_t kanji_rom_size = std::size_t{kanji_plane_size} * kanji_plane_count;
