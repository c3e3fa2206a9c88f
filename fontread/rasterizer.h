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
