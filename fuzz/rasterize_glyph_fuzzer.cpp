// The rasterizer fed one glyph. The first four input bytes choose the font
// header, a cell size, a transform and where the glyph starts; the rest are
// the glyph's lines from just after its ENCODING line. The glyph is drawn
// into the programs' two cells and the chosen one, seeking back to its start
// each time; the dots must stay inside the cell and the same glyph must draw
// the same dots.
//
// A glyph may start up to 256 bytes before the end of the stream's first
// buffer, after comment lines that are never read: reading it then crosses
// the buffer refill, and every seek back to it rereads the file.
#include <climits>
#include <cstring>
#include <iterator>

#include "code_tables.h"
#include "fuzz_font.h"
#include "rasterizer.h"

namespace {

FontStream stream;
std::int64_t glyph_start;

// Headers a scan can return: common sizes, the smallest and the largest.
constexpr FontHeader headers[] = {
    {16, 14, 2, JIS},     {8, 8, 2, JIS},      {6, 7, 1, UNICODE},          {12, 10, 2, JIS},
    {0, 0, 0, JIS},       {64, 56, 8, JIS},    {200, 150, 50, UNICODE},     {1, 0, 1, JIS},
    {16, 0, INT_MAX, JIS}, {INT_MAX, INT_MAX, INT_MAX, JIS}, {INT_MAX, 0, 0, UNICODE}, {7, 12, 0, JIS},
};

// Transforms besides none and the composite table's: the identity, and
// extreme squeezes and shifts.
constexpr GlyphTransform extra_transforms[] = {
    {1, 0, 1, 0}, {0.5, -1, 0.25, 2}, {8, 3, 8, -3}, {0.01, -100, 0.01, 100}, {1e9, 1e9, 1e-9, -1e9},
};
constexpr int transform_choices = 1 + static_cast<int>(std::size(extra_transforms)) + 2 * composite_count;

const GlyphTransform* chosen_transform(std::uint8_t choice) {
    const int index = choice % transform_choices;
    if (index == 0) return nullptr;
    if (index <= static_cast<int>(std::size(extra_transforms))) return &extra_transforms[index - 1];
    const int component = index - 1 - static_cast<int>(std::size(extra_transforms));
    const CompositeEntry& entry = composite_table[component / 2];
    return component % 2 == 0 ? &entry.first_transform : &entry.second_transform;
}

CellDots draw(const FontHeader& header, int width, int height, const GlyphTransform* transform) {
    seek(stream, glyph_start);
    const CellDots dots = rasterize_glyph(stream, header, width, height, transform);
    for (int row = 0; row < max_cell_size; ++row) {
        const unsigned outside = row < height ? (1u << (max_cell_size - width)) - 1 : 0xFFFFu;
        require((dots.rows[row] & outside) == 0);
    }
    return dots;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const FontHeader& header = headers[data[0] % std::size(headers)];
    const int width = 1 + data[1] % max_cell_size;
    const int height = 1 + data[1] / max_cell_size;
    const GlyphTransform* transform = chosen_transform(data[2]);
    glyph_start = data[3] < 192 ? 0 : static_cast<std::int64_t>(font_buffer_size) - 4 * (data[3] - 191);
    require(open_fuzz_font(stream, data + 4, size - 4, static_cast<std::size_t>(glyph_start)));

    const CellDots first = draw(header, width, height, transform);
    draw(header, 8, 10, transform);
    draw(header, 16, 16, nullptr);
    const CellDots again = draw(header, width, height, transform);
    require(std::memcmp(&first, &again, sizeof first) == 0);
    close_font_stream(stream);
    return 0;
}
