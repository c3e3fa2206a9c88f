// A ROM image as romview reads it, recognised by its size alone: a file of
// the size of one kind of image (rom_kinds below, from rom_format.h) is
// taken as that image; the bytes themselves are not checked. At most one
// byte beyond the largest size is read, so an endless file such as
// /dev/zero is refused at once.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "glyph_wants.h"
#include "rom_format.h"

enum class RomKind { character, kanji };

// What a glyph the font lacked shows: the placeholder (placeholder_rows),
// or no dots at all.
enum class MissingMark { placeholder, blank };

// What every image of one kind is. A glyph is glyph_height rows stored
// plane by plane: row r of glyph k is byte glyph_height * k + r of each
// plane, the planes cell_width columns each from the left.
struct RomKindFacts {
    RomKind kind;
    const char* name;        // "character ROM"
    const char* glyph_word;  // what the reports call its glyphs: "cells"
    std::size_t size;        // bytes of the file
    int glyph_count;
    int glyph_width;         // dots
    int glyph_rows;          // rows a font glyph fills, from the top
    int plane_count;
    int plane_size;          // bytes
    int bank_count;          // tables of glyphs, each drawn as a table of its own
    RomLayout layout;        // the layout unless the block mosaic says otherwise
    MissingMark missing;
    int first_coded_glyph;   // the glyph of missing code 0; the codes count on from it
    bool names_fillers;      // a missing code is told with the fonts that could fill it
    const char* missing_heading;
};

// Rows stored a glyph, a character cell's or a kanji's.
constexpr int glyph_height = cell_bytes;
static_assert(kanji_glyph_size == cell_bytes);

// In the order of RomKind.
inline constexpr RomKindFacts rom_kinds[] = {
    {.kind = RomKind::character,
     .name = "character ROM",
     .glyph_word = "cells",
     .size = character_rom_size,
     .glyph_count = character_cell_count,
     .glyph_width = cell_width,
     .glyph_rows = cell_glyph_rows,
     .plane_count = 1,
     .plane_size = character_cell_count * cell_bytes,
     .bank_count = character_bank_count,
     .layout = RomLayout::two_character_sets,
     .missing = MissingMark::placeholder,
     .first_coded_glyph = second_set_first_cell,
     .names_fillers = true,
     .missing_heading = "second-set codes showing the placeholder"},
    {.kind = RomKind::kanji,
     .name = "kanji ROM",
     .glyph_word = "glyphs",
     .size = kanji_rom_size,
     .glyph_count = kanji_slot_count,
     .glyph_width = kanji_glyph_size,
     .glyph_rows = kanji_glyph_size,
     .plane_count = kanji_plane_count,
     .plane_size = kanji_plane_size,
     .bank_count = 1,
     .layout = RomLayout::kanji,
     .missing = MissingMark::blank,
     .first_coded_glyph = 0,
     .names_fillers = false,
     .missing_heading = "blank glyph slots"},
};

constexpr const RomKindFacts& kind_facts(RomKind kind) {
    return rom_kinds[static_cast<int>(kind)];
}

static_assert(kind_facts(RomKind::character).kind == RomKind::character);
static_assert(kind_facts(RomKind::kanji).kind == RomKind::kanji);

constexpr std::size_t largest_rom_size = std::max(rom_kinds[0].size, rom_kinds[1].size);
constexpr int max_glyph_count = std::max(rom_kinds[0].glyph_count, rom_kinds[1].glyph_count);
constexpr int max_glyph_width = std::max(rom_kinds[0].glyph_width, rom_kinds[1].glyph_width);

// Hexadecimal digits of the largest of a run of codes 0..largest.
constexpr int hex_digits(int largest) {
    int digits = 1;
    while (largest >> (4 * digits) != 0) ++digits;
    return digits;
}

struct RomImage {
    RomKind kind;
    std::uint8_t bytes[largest_rom_size];  // the first kind_facts(kind).size of them used
};

enum class LoadStatus { loaded, cannot_open, wrong_size, too_large };

struct LoadResult {
    LoadStatus status;
    std::uintmax_t size;  // bytes in the file, when loaded or of the wrong size
};

// Reads the file named path into image and recognises its kind. A missing
// file, a directory and a read error are all cannot_open.
LoadResult load_rom_image(const char* path, RomImage& image);

// One glyph's dots, glyph_height rows with the top bit the leftmost dot;
// the dots of a character cell are in the high cell_width bits.
struct GlyphDots {
    std::uint16_t rows[glyph_height];
};
static_assert(max_glyph_width == std::numeric_limits<std::uint16_t>::digits);

GlyphDots glyph_dots(const RomImage& image, int index);
// Replaces the rows a font glyph fills; the rows below them stay.
void set_glyph_dots(RomImage& image, int index, const GlyphDots& glyph);
bool dot_is_set(const GlyphDots& glyph, int x, int y);
bool glyph_is_blank(const GlyphDots& glyph);

// An image's layout (RomLayout, glyph_wants.h): a character ROM holds two
// character sets unless some second-set cell has dots below its glyph rows:
// only the block mosaic of CGROM60.66 sets those rows, so such an image has
// the first set and the mosaic. A CGROM60.66 whose mosaic lost the rows
// below the glyph rows passes for one of two sets.
RomLayout rom_layout(const RomImage& image);

// Whether a cell of a character ROM's second set shows the placeholder the
// converter puts where the font had no glyph: exactly placeholder_rows.
// Never true for first-set cells, kanji glyphs or any cell of an image of
// the mosaic layout, which has no second set.
bool is_placeholder(const RomImage& image, int index);

// What the image holds. The missing codes are, for a character ROM of two
// sets, the second-set codes that show the placeholder, which the font
// could not provide (none in the mosaic layout, which has no second set);
// for a kanji ROM, the blank glyph slots.
struct RomSummary {
    int with_dots;
    int blank;
    int missing_count;
    int missing_codes[max_glyph_count];
};

RomSummary summarize_rom(const RomImage& image);
