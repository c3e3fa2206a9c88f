// A ROM image as romview reads it, recognised by its size alone:
//
// - a character ROM, 8192 bytes: 512 cells of 8 x 10 dots stored in 16
//   bytes a cell, byte r = dot row r, bit 7 = leftmost dot (rows 10..15 are
//   0 but for the mosaic of CGROM60.66); cells 0..255 are the first
//   character set, cells 256..511 the second (CGROM66.66) or, in
//   CGROM60.66, the generated 2 x 3 block mosaic in cells 256..319 and
//   blank cells 320..511;
// - a kanji ROM, 32768 bytes: 1024 glyphs of 16 x 16 dots, a plane of left
//   halves (glyph k's rows at bytes 16k..16k+15, columns 0..7) followed by a
//   plane of right halves (columns 8..15).
//
// Any file of one of these sizes is taken as that ROM; the bytes themselves
// are not checked. At most one byte beyond the larger size is read, so an
// endless file such as /dev/zero is refused at once.
#pragma once
#include <cstddef>
#include <cstdint>

#include "rom_format.h"

enum class RomKind { character, kanji };

// Rows stored a glyph, a character cell's or a kanji's.
constexpr int glyph_height = cell_bytes;
static_assert(kanji_glyph_size == cell_bytes);
constexpr int max_glyph_count = kanji_slot_count;

struct RomImage {
    RomKind kind;
    std::uint8_t bytes[kanji_rom_size];  // a character ROM uses the first 8192
};

struct RomShape {
    int glyph_count;
    int glyph_width;  // dots; every glyph is glyph_height rows high
};

RomShape rom_shape(RomKind kind);

enum class LoadStatus { loaded, cannot_open, wrong_size, too_large };

struct LoadResult {
    LoadStatus status;
    std::uintmax_t size;  // bytes in the file, when loaded or of the wrong size
};

// Reads the file named path into image and recognises its kind. A missing
// file, a directory and a read error are all cannot_open.
LoadResult load_rom_image(const char* path, RomImage& image);

// One glyph's dots, 16 rows with bit 15 the leftmost dot; the dots of a
// character cell are in the high 8 bits.
struct GlyphDots {
    std::uint16_t rows[glyph_height];
};

GlyphDots glyph_dots(const RomImage& image, int index);
bool dot_is_set(const GlyphDots& glyph, int x, int y);
bool glyph_is_blank(const GlyphDots& glyph);

// What the glyphs of an image are. A character ROM holds two character sets
// unless some cell 256..511 has dots in rows 10..15: only the block mosaic
// of CGROM60.66 sets those rows, so such an image has the first set and the
// mosaic. A CGROM60.66 whose mosaic lost rows 10 and 11 passes for one of
// two sets.
enum class RomLayout { two_character_sets, first_set_and_mosaic, kanji };

RomLayout rom_layout(const RomImage& image);

// Whether a cell of a character ROM's second set shows the placeholder the
// converter puts where the font had no glyph: rows 0..3 and 5..8 = 0xFE,
// all other rows 0. Never true for first-set cells, kanji glyphs or any
// cell of an image of the mosaic layout, which has no second set.
bool is_placeholder(const RomImage& image, int index);

// What the image holds. The missing codes are, for a character ROM of two
// sets, the second-set codes (0..255) that show the placeholder, which the
// font could not provide (none in the mosaic layout, which has no second
// set); for a kanji ROM, the blank glyph slots.
struct RomSummary {
    int with_dots;
    int blank;
    int missing_count;
    int missing_codes[max_glyph_count];
};

RomSummary summarize_rom(const RomImage& image);
