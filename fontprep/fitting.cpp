#include "fitting.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

std::size_t row_bytes(int width) {
    return static_cast<std::size_t>(width + 7) / 8;
}

bool dot(const GlyphBitmap& glyph, int column, int row) {
    const std::uint8_t byte = glyph.rows[static_cast<std::size_t>(row) * row_bytes(glyph.width) + column / 8];
    return (byte >> (7 - column % 8)) & 1;
}

// The rows and columns holding dots, as half-open ranges from the top left;
// empty ranges for a blank glyph.
struct Ink {
    int first_column, end_column;
    int first_row, end_row;
    int dots;
};

Ink find_ink(const GlyphBitmap& glyph) {
    Ink ink = {glyph.width, 0, glyph.height, 0, 0};
    for (int row = 0; row < glyph.height; ++row) {
        for (int column = 0; column < glyph.width; ++column) {
            if (!dot(glyph, column, row)) continue;
            ink = {std::min(ink.first_column, column), std::max(ink.end_column, column + 1),
                   std::min(ink.first_row, row), std::max(ink.end_row, row + 1), ink.dots + 1};
        }
    }
    return ink;
}

bool box_inside(const GlyphBitmap& glyph, const CellBox& cell) {
    const long long right = static_cast<long long>(glyph.x_offset) + glyph.width;
    const long long top = static_cast<long long>(glyph.y_offset) + glyph.height;
    return glyph.x_offset >= 0 && right <= cell.width && glyph.y_offset >= -cell.descent && top <= cell.ascent;
}

// Where a run of length dots starting at start goes on an axis whose cell
// spans [low, high): inside where it fits, else covering the cell; and the
// part of it kept.
struct Span {
    long long start;  // the run's new start
    long long first;  // the kept part [first, end)
    long long end;
};

Span place_on_axis(long long start, long long length, long long low, long long high) {
    const long long lowest = std::min(low, high - length);
    const long long highest = std::max(low, high - length);
    const long long moved = std::clamp(start, lowest, highest);
    return {moved, std::max(moved, low), std::min(moved + length, high)};
}

int dots_in_columns(const GlyphBitmap& glyph, int first_column, int end_column) {
    int dots = 0;
    for (int row = 0; row < glyph.height; ++row) {
        for (int column = first_column; column < end_column; ++column) dots += dot(glyph, column, row);
    }
    return dots;
}

}  // namespace

Fit fit_glyph(GlyphBitmap& glyph, const CellBox& cell) {
    if (box_inside(glyph, cell)) return Fit::inside;
    const Ink ink = find_ink(glyph);
    if (ink.dots == 0) {
        glyph = {0, 0, 0, 0, glyph.advance, {}};
        return Fit::fitted;
    }
    // Absolute columns count from the origin, absolute rows up from the
    // baseline (the bottom of the ink is its lowest row).
    const long long ink_left = static_cast<long long>(glyph.x_offset) + ink.first_column;
    const long long ink_bottom = static_cast<long long>(glyph.y_offset) + glyph.height - ink.end_row;
    const Span across = place_on_axis(ink_left, ink.end_column - ink.first_column, 0, cell.width);
    const Span up = place_on_axis(ink_bottom, ink.end_row - ink.first_row, -cell.descent, cell.ascent);
    // A cell of no columns or no rows (a bitmap font of no height) keeps nothing.
    if (across.end <= across.first || up.end <= up.first) return Fit::left_out;
    const int kept_first_column = static_cast<int>(across.first - across.start) + ink.first_column;
    const int kept_end_column = static_cast<int>(across.end - across.start) + ink.first_column;
    if (dots_in_columns(glyph, kept_first_column, kept_end_column) * 4 < ink.dots * 3) return Fit::left_out;

    GlyphBitmap fitted = {static_cast<int>(across.end - across.first), static_cast<int>(up.end - up.first),
                          static_cast<int>(across.first), static_cast<int>(up.first), glyph.advance, {}};
    fitted.rows.assign(row_bytes(fitted.width) * static_cast<std::size_t>(fitted.height), 0);
    // The new top row is the old row this far below the ink's top.
    const int first_row = ink.first_row + static_cast<int>(up.start + (ink.end_row - ink.first_row) - up.end);
    for (int row = 0; row < fitted.height; ++row) {
        for (int column = 0; column < fitted.width; ++column) {
            if (!dot(glyph, kept_first_column + column, first_row + row)) continue;
            fitted.rows[static_cast<std::size_t>(row) * row_bytes(fitted.width) + column / 8] |=
                static_cast<std::uint8_t>(0x80 >> (column % 8));
        }
    }
    glyph = std::move(fitted);
    return Fit::fitted;
}

FitCounts fit_font(SourceFont& font, const CellBox& cell) {
    FitCounts counts = {0, 0};
    std::vector<bool> left_out(font.bitmaps.size(), false);
    for (std::size_t index = 0; index < font.bitmaps.size(); ++index) {
        const Fit fit = fit_glyph(font.bitmaps[index], cell);
        counts.fitted += fit == Fit::fitted;
        left_out[index] = fit == Fit::left_out;
    }
    const auto lost = [&](const CodedGlyph& glyph) {
        return glyph.bitmap >= 0 && left_out[static_cast<std::size_t>(glyph.bitmap)];
    };
    const auto kept_end = std::remove_if(font.glyphs.begin(), font.glyphs.end(), lost);
    counts.left_out = static_cast<int>(font.glyphs.end() - kept_end);
    font.glyphs.erase(kept_end, font.glyphs.end());
    return counts;
}
