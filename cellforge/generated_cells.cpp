#include "generated_cells.h"

namespace {

constexpr std::uint8_t left_half = 0xF0;
constexpr std::uint8_t right_half = 0x0F;
constexpr int glyph_rows = cell_glyph_rows;

std::uint8_t* second_set_cell(CellImage& image, int code) {
    return image.cells[second_set_first_cell + code];
}

// The halves that two bits of a mosaic code switch on.
std::uint8_t mosaic_row(int code, int left_bit, int right_bit) {
    std::uint8_t row = 0;
    if (code >> left_bit & 1) row |= left_half;
    if (code >> right_bit & 1) row |= right_half;
    return row;
}

// Triangles and shading: each row derived from the row above.
const std::uint8_t shading_rows[6][glyph_rows] = {
    {0x01, 0x01, 0x03, 0x07, 0x0F, 0x1F, 0x1F, 0x3F, 0x7F, 0xFF},
    {0x80, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xF8, 0xFC, 0xFE, 0xFF},
    {0xFF, 0x7F, 0x3F, 0x1F, 0x1F, 0x0F, 0x07, 0x03, 0x01, 0x01},
    {0xFF, 0xFE, 0xFC, 0xF8, 0xF8, 0xF0, 0xE0, 0xC0, 0x80, 0x80},
    {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC},
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},
};

}  // namespace

void generate_mosaic_2x3(CellImage& image) {
    for (int code = 0; code < mosaic_cell_count; ++code) {
        std::uint8_t* cell = image.cells[mosaic_first_cell + code];
        for (int r = 0; r < mosaic_rows; ++r) {
            const int band = r / 4;
            cell[r] = mosaic_row(code, 5 - 2 * band, 4 - 2 * band);
        }
    }
}

// The cells drawn here end where the fonts' cells begin.
static_assert(32 + 6 == drawn_second_set_cells);

void generate_bars_and_shading(CellImage& image) {
    for (int code = 25; code <= 31; ++code) {
        const std::uint8_t bar = static_cast<std::uint8_t>(0xFE << (code - 25));
        for (int r = 0; r < glyph_rows; ++r) second_set_cell(image, code)[r] = bar;
    }
    for (int k = 0; k < 6; ++k) {
        for (int r = 0; r < glyph_rows; ++r) second_set_cell(image, 32 + k)[r] = shading_rows[k][r];
    }
}

void generate_mosaic_2x2_and_lower_blocks(CellImage& image) {
    for (int code = 0; code < 16; ++code) {
        for (int r = 0; r < glyph_rows; ++r) {
            second_set_cell(image, code)[r] = r < 5 ? mosaic_row(code, 3, 2) : mosaic_row(code, 1, 0);
        }
    }
    for (int code = 16; code <= 24; ++code) {
        for (int r = 25 - code; r < glyph_rows; ++r) second_set_cell(image, code)[r] = 0xFF;
    }
}

void fill_placeholders(CellImage& image) {
    for (int code = placeholder_first_code; code < bank_cell_count; ++code) {
        std::uint8_t* cell = second_set_cell(image, code);
        if (!cell_is_blank(cell)) continue;
        for (int r = 0; r < cell_bytes; ++r) cell[r] = placeholder_rows[r];
    }
}
