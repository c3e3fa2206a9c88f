// The character ROM image: 512 cells of 16 bytes, one byte per dot row with
// bit 7 the leftmost dot; cells 0..255 are the first character set, cells
// 256..511 the second.
#pragma once
#include <cstdint>

constexpr int cell_bytes = 16;
constexpr int image_cell_count = 512;

struct CellImage {
    std::uint8_t cells[image_cell_count][cell_bytes];
};

// 256 cells of one character set, a view into a CellImage.
using CellBank = std::uint8_t (*)[cell_bytes];

inline CellBank first_bank(CellImage& image) { return image.cells; }
inline CellBank second_bank(CellImage& image) { return image.cells + 256; }

inline bool cell_is_blank(const std::uint8_t* cell) {
    for (int r = 0; r < cell_bytes; ++r) {
        if (cell[r] != 0) return false;
    }
    return true;
}
