// The character ROM image as cellforge fills it: 512 cells of 16 bytes, a
// bank of 256 cells for each character set (the layout is in rom_format.h).
#pragma once
#include <cstdint>

#include "rom_format.h"

struct CellImage {
    std::uint8_t cells[character_cell_count][cell_bytes];
};

// 256 cells of one character set, a view into a CellImage.
using CellBank = std::uint8_t (*)[cell_bytes];

inline CellBank first_bank(CellImage& image) { return image.cells; }
inline CellBank second_bank(CellImage& image) { return image.cells + second_set_first_cell; }

inline bool cell_is_blank(const std::uint8_t* cell) {
    for (int r = 0; r < cell_bytes; ++r) {
        if (cell[r] != 0) return false;
    }
    return true;
}
