// The glyph rasterizer: one BDF glyph, read from the font stream, plotted
// into a 64 x 64 work grid on the font's baseline and reduced to a cell of
// at most 16 x 16 dots.
#pragma once
#include <cstdint>

#include "font_header.h"
#include "font_stream.h"

constexpr int max_cell_size = 16;

// The dots of one cell: row ty holds dot tx in bit (15 - tx), so the leftmost
// dot is always the top bit whatever the cell width.
struct CellDots {
    std::uint16_t rows[max_cell_size];
};

// Reads the glyph's lines from just after its ENCODING line up to its last
// bitmap row and returns the dots of a width x height cell (each 1..16).
// transform may be null.
CellDots rasterize_glyph(FontStream& stream, const FontHeader& header, int width, int height,
                         const GlyphTransform* transform);

// What rasterize_glyph reads of the font, followed piece by piece for every
// glyph whose reading has begun: its pieces up to a BBX line with four
// numbers, on to a BITMAP line, then as many rows as the box is high or up
// to an ENDCHAR line. Readings begun at different glyphs read the same
// pieces, so the most that any of them still takes tells where all end.
struct GlyphReadings {
    bool seeking_box;          // some reading is before its BBX line
    bool seeking_bitmap;       // some reading is past its BBX line, before BITMAP
    std::int64_t bitmap_rows;  // the most rows those take after BITMAP; 0 for none
    std::int64_t rows_left;    // the most rows a reading past BITMAP still takes
};

// A reading begins with the piece after the glyph's ENCODING line.
inline void begin_glyph_reading(GlyphReadings& readings) {
    readings.seeking_box = true;
}

inline bool glyph_readings_open(const GlyphReadings& readings) {
    return readings.seeking_box || readings.seeking_bitmap || readings.rows_left > 0;
}

// Moves every reading on by the piece line, as read_line delivers it.
void follow_glyph_readings(GlyphReadings& readings, const char* line);
