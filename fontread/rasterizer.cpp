// Stages of one glyph: find its BBX, scale and centre it for the cell, apply
// the caller's transform, plot its bitmap rows into the work grid, and reduce
// the grid to the cell.
//
// Limits: the work grid is 64 x 64; dots outside it are dropped, so a font
// wider or taller than about 64 dots loses its right or bottom part. Every
// value read from the font is clamped before it meets arithmetic, and
// placement is computed in 64 bits, so no font can overflow it. Rows of any
// width are read as one hexadecimal number; only its bits that land in the
// grid are looked at.
#include "rasterizer.h"

#include <algorithm>

#include "line_scan.h"

namespace {

constexpr int grid_size = 64;

// Grid row y holds column x in bit x.
struct WorkGrid {
    std::uint64_t rows[grid_size];
};

struct GlyphBox {
    std::int32_t width;
    std::int32_t height;
    std::int32_t x_offset;
    std::int32_t y_offset;
};

struct Placement {
    double x_scale;
    double y_scale;
    std::int64_t x_pos;
    std::int64_t y_pos;
};

// Truncates toward zero; values far off the grid are clamped to a range
// where the placement arithmetic cannot overflow and still lands off it.
std::int64_t truncate_to_integer(double value) {
    constexpr double limit = 4e18;
    if (!(value > -limit)) return value < 0 ? -4000000000000000000 : 0;
    if (value > limit) return 4000000000000000000;
    return static_cast<std::int64_t>(value);
}

// Reads on until a BBX line with all four numbers; false at end of file.
bool read_glyph_box(FontStream& stream, GlyphBox& box) {
    char line[line_capacity];
    while (read_line(stream, line)) {
        const char* values = after_keyword(line, "BBX");
        std::int32_t numbers[4];
        if (values != nullptr && scan_numbers(values, numbers, 4) == 4) {
            box = {numbers[0], numbers[1], numbers[2], numbers[3]};
            return true;
        }
    }
    return false;
}

// Scale and centring for the cell, then the caller's transform.
Placement place_glyph(const GlyphBox& box, const FontHeader& header, int width, int height,
                      const GlyphTransform* transform) {
    const std::int64_t font_width = header.font_width;
    const std::int64_t font_height_dots = font_height(header);
    Placement place{1.0, 1.0, box.x_offset, box.y_offset};
    if (width >= font_width) {
        place.x_pos += (width - font_width) / 2;
    } else {
        place.x_scale = static_cast<double>(font_width) / width;
    }
    if (font_height_dots <= height) {
        place.y_pos -= (height - font_height_dots) / 2;
    } else {
        place.y_scale = static_cast<double>(font_height_dots) / height;
    }
    if (place.x_pos < 0) place.x_pos = 0;
    if (transform != nullptr) {
        place.x_scale *= transform->x_scale;
        place.x_pos = truncate_to_integer(static_cast<double>(place.x_pos) +
                                          static_cast<double>(font_width) * transform->x_offset);
        place.y_scale *= transform->y_scale;
        place.y_pos = truncate_to_integer(static_cast<double>(place.y_pos) +
                                          static_cast<double>(font_height_dots) * transform->y_offset);
    }
    return place;
}

void skip_to_bitmap(FontStream& stream) {
    char line[line_capacity];
    while (read_line(stream, line)) {
        if (after_keyword(line, "BITMAP") != nullptr) return;
    }
}

// Plots one bitmap row at grid row y. The row's hex digits cover whole
// bytes, so glyph column c is bit 8 * ceil(width / 8) - 1 - c of its value.
void plot_row(WorkGrid& grid, std::int64_t y, const HexRow& row, const GlyphBox& box,
              std::int64_t x_pos) {
    if (y < 0 || y >= grid_size) return;
    const std::int64_t top_bit = 8 * ((std::int64_t{box.width} + 7) / 8) - 1;
    const std::int64_t first = x_pos < 0 ? -x_pos : 0;
    const std::int64_t end = std::min<std::int64_t>(box.width, grid_size - x_pos);
    for (std::int64_t c = first; c < end; ++c) {
        const std::uint64_t column_bit = std::uint64_t{1} << (x_pos + c);
        if (hex_row_bit(row, top_bit - c)) {
            grid.rows[y] |= column_bit;
        } else {
            grid.rows[y] &= ~column_bit;
        }
    }
}

// Reads the glyph's rows. Rows missing at end of file, or cut short by an
// ENDCHAR line, stay blank; a row that is not a hexadecimal number is blank.
void plot_bitmap(FontStream& stream, WorkGrid& grid, const GlyphBox& box, const FontHeader& header,
                 const Placement& place) {
    char line[line_capacity];
    for (std::int64_t r = 0; r < box.height; ++r) {
        if (!read_line(stream, line) || after_keyword(line, "ENDCHAR") != nullptr) return;
        const std::int64_t y = header.font_ascent + r - box.height - place.y_pos;
        plot_row(grid, y, scan_hex_row(line), box, place.x_pos);
    }
}

// The grid span [first, end) that cell dot `index` covers at `scale`.
void cell_span(int index, double scale, std::int64_t& first, std::int64_t& end) {
    first = std::max<std::int64_t>(0, truncate_to_integer(index * scale));
    end = std::min<std::int64_t>(grid_size, truncate_to_integer((index + 1) * scale + 0.01));
}

// A cell dot is on when any grid dot in its area is set.
CellDots reduce_grid(const WorkGrid& grid, const Placement& place, int width, int height) {
    CellDots dots{};
    for (int ty = 0; ty < height; ++ty) {
        std::int64_t row_first, row_end;
        cell_span(ty, place.y_scale, row_first, row_end);
        std::uint64_t covered = 0;
        for (std::int64_t y = row_first; y < row_end; ++y) covered |= grid.rows[y];
        for (int tx = 0; tx < width; ++tx) {
            std::int64_t column_first, column_end;
            cell_span(tx, place.x_scale, column_first, column_end);
            if (column_first >= column_end) continue;
            const std::int64_t span = column_end - column_first;
            const std::uint64_t mask = (span == grid_size ? ~std::uint64_t{0} : (std::uint64_t{1} << span) - 1)
                                       << column_first;
            if (covered & mask) dots.rows[ty] |= static_cast<std::uint16_t>(0x8000u >> tx);
        }
    }
    return dots;
}

}  // namespace

CellDots rasterize_glyph(FontStream& stream, const FontHeader& header, int width, int height,
                         const GlyphTransform* transform) {
    GlyphBox box;
    if (!read_glyph_box(stream, box)) return CellDots{};
    const Placement place = place_glyph(box, header, width, height, transform);
    skip_to_bitmap(stream);
    WorkGrid grid{};
    plot_bitmap(stream, grid, box, header, place);
    if (box.height <= 0) return CellDots{};
    return reduce_grid(grid, place, width, height);
}
