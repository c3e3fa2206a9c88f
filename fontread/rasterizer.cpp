// Stages of one glyph: find its BBX, scale and centre it for the cell, apply
// the caller's transform, plot its bitmap rows into the work grid, and reduce
// the grid to the cell.
//
// Limits: the work grid is 64 x 64; dots outside it are dropped, so a font
// wider or taller than about 64 dots loses its right or bottom part. Every
// value read from the font is clamped before it meets arithmetic, and
// placement is computed in 64 bits, so no font can overflow it. Rows of any
// width are read as one hexadecimal number; only its bits that land in the
// grid are looked at, by one shift where the glyph is at most 64 dots wide.
#include "rasterizer.h"

#include <algorithm>

#include "line_scan.h"

namespace {

constexpr int grid_size = 64;

// Grid row y holds column x in bit 63 - x, the order of a bitmap row's
// dots in its number.
struct WorkGrid {
    std::uint64_t rows[grid_size];
};

// Columns first..end - 1 of a grid row, 0 <= first < end <= 64.
std::uint64_t grid_columns(std::int64_t first, std::int64_t end) {
    const std::uint64_t from_first = ~std::uint64_t{0} >> first;
    return end >= grid_size ? from_first : from_first & ~(~std::uint64_t{0} >> end);
}

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

// The lines that end each stage of a glyph's reading.
bool is_box_line(const char* line, GlyphBox& box) {
    const char* values = after_keyword(line, "BBX");
    std::int32_t numbers[4];
    if (values == nullptr || scan_numbers(values, numbers, 4) != 4) return false;
    box = {numbers[0], numbers[1], numbers[2], numbers[3]};
    return true;
}

bool is_bitmap_line(const char* line) {
    return after_keyword(line, "BITMAP") != nullptr;
}

bool is_end_line(const char* line) {
    return after_keyword(line, "ENDCHAR") != nullptr;
}

// Reads on until a BBX line with all four numbers; false at end of file.
bool read_glyph_box(FontStream& stream, GlyphBox& box) {
    char line[line_capacity];
    while (read_line(stream, line)) {
        if (is_box_line(line, box)) return true;
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
        if (is_bitmap_line(line)) return;
    }
}

// A bitmap row's dots at their grid columns, where the glyph's column c
// lands on column x_pos + c. The row's hex digits cover whole bytes, so
// glyph column c is bit 8 * ceil(width / 8) - 1 - c of its value. Only the
// columns first_x..end_x - 1 count.
std::uint64_t row_dots(const HexRow& row, const GlyphBox& box, std::int64_t x_pos, std::int64_t first_x,
                       std::int64_t end_x) {
    const std::int64_t top_bit = 8 * ((std::int64_t{box.width} + 7) / 8) - 1;
    if (top_bit < 64) {
        // Here 0 <= first_x < end_x <= 64 and -64 < x_pos < 64.
        const std::uint64_t columns = row.low << (63 - top_bit);
        return x_pos >= 0 ? columns >> x_pos : columns << -x_pos;
    }
    std::uint64_t dots = 0;
    for (std::int64_t x = first_x; x < end_x; ++x) {
        if (hex_row_bit(row, top_bit - (x - x_pos))) dots |= grid_columns(x, x + 1);
    }
    return dots;
}

// Plots one bitmap row at grid row y: the glyph's columns on the grid take
// the row's dots, set or clear.
void plot_row(WorkGrid& grid, std::int64_t y, const HexRow& row, const GlyphBox& box, std::int64_t x_pos) {
    if (y < 0 || y >= grid_size) return;
    const std::int64_t first_x = std::max<std::int64_t>(x_pos, 0);
    const std::int64_t end_x = std::min<std::int64_t>(x_pos + box.width, grid_size);
    if (first_x >= end_x) return;
    const std::uint64_t columns = grid_columns(first_x, end_x);
    grid.rows[y] = (grid.rows[y] & ~columns) | (row_dots(row, box, x_pos, first_x, end_x) & columns);
}

// Reads the glyph's rows. Rows missing at end of file, or cut short by an
// ENDCHAR line, stay blank; a row that is not a hexadecimal number is blank.
void plot_bitmap(FontStream& stream, WorkGrid& grid, const GlyphBox& box, const FontHeader& header,
                 const Placement& place) {
    char line[line_capacity];
    for (std::int64_t r = 0; r < box.height; ++r) {
        if (!read_line(stream, line) || is_end_line(line)) return;
        const std::int64_t y = header.font_ascent + r - box.height - place.y_pos;
        plot_row(grid, y, scan_hex_row(line), box, place.x_pos);
    }
}

// The grid span [first, end) that cell dot `index` covers at `scale`.
void cell_span(int index, double scale, std::int64_t& first, std::int64_t& end) {
    first = std::max<std::int64_t>(0, truncate_to_integer(index * scale));
    end = std::min<std::int64_t>(grid_size, truncate_to_integer((index + 1) * scale + 0.01));
}

// The grid columns that cell column tx covers, 0 for none.
std::uint64_t cell_columns(int tx, double x_scale) {
    std::int64_t first, end;
    cell_span(tx, x_scale, first, end);
    return first < end ? grid_columns(first, end) : 0;
}

// A cell dot is on when any grid dot in its area is set.
CellDots reduce_grid(const WorkGrid& grid, const Placement& place, int width, int height) {
    std::uint64_t columns[max_cell_size];
    for (int tx = 0; tx < width; ++tx) columns[tx] = cell_columns(tx, place.x_scale);
    CellDots dots{};
    for (int ty = 0; ty < height; ++ty) {
        std::int64_t row_first, row_end;
        cell_span(ty, place.y_scale, row_first, row_end);
        std::uint64_t covered = 0;
        for (std::int64_t y = row_first; y < row_end; ++y) covered |= grid.rows[y];
        for (int tx = 0; tx < width; ++tx) {
            if (covered & columns[tx]) dots.rows[ty] |= static_cast<std::uint16_t>(0x8000u >> tx);
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

void follow_glyph_readings(GlyphReadings& readings, const char* line) {
    // Each stage looks at the pieces after the one that began it.
    if (readings.rows_left > 0) readings.rows_left = is_end_line(line) ? 0 : readings.rows_left - 1;
    if (readings.seeking_bitmap && is_bitmap_line(line)) {
        readings.rows_left = std::max(readings.rows_left, readings.bitmap_rows);
        readings.seeking_bitmap = false;
        readings.bitmap_rows = 0;
    }
    GlyphBox box;
    if (readings.seeking_box && is_box_line(line, box)) {
        readings.bitmap_rows = std::max<std::int64_t>(readings.bitmap_rows, box.height);
        readings.seeking_bitmap = true;
        readings.seeking_box = false;
    }
}
