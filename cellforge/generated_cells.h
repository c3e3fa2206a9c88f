// Cells that come from no font: block mosaics, bars, triangles, shading and
// the placeholder of second-set cells that no glyph reached.
#pragma once

#include "cell_image.h"

// Image "CGROM60.66": the 2 x 3 block mosaic in cells 256..319.
void generate_mosaic_2x3(CellImage& image);

// Image "CGROM66.66": the left bars in cells 281..287, triangles and
// shading in 288..293.
void generate_bars_and_shading(CellImage& image);

// Image "CGROM66.66": the 2 x 2 block mosaic in cells 257..271 and the
// lower blocks in 272..280.
void generate_mosaic_2x2_and_lower_blocks(CellImage& image);

// Two stacked 7 x 4 blocks in every blank cell from 257 to 511.
void fill_placeholders(CellImage& image);
