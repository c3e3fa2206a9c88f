#include "contact_sheet.h"

#include <algorithm>
#include <cstring>

#include "label_font.h"

namespace {

// The side of the smallest square of at least cells cells; the tables are square.
int square_side(int cells) {
    int side = 1;
    while (side * side < cells) ++side;
    return side;
}

int label_width(const SheetLayout& layout, int digits) {
    return (digits * (digit_width + 1) - 1) * layout.label_scale;
}

int cells_per_table(const SheetLayout& layout) {
    return layout.per_line * layout.line_count;
}

int table_left(const SheetLayout& layout, int table) {
    return layout.table_left + table * layout.table_pitch;
}

// The top-left pixel inside the grid lines of glyph index's cell.
Pixel cell_pixel(const SheetLayout& layout, int index) {
    const int in_table = index % cells_per_table(layout);
    return {table_left(layout, index / cells_per_table(layout)) + in_table % layout.per_line * layout.pitch_x + 1,
            layout.table_top + in_table / layout.per_line * layout.pitch_y + 1};
}

void fill(Sheet& sheet, int left, int top, int width, int height, Colour colour) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            std::uint8_t* pixel = &sheet.pixels[(static_cast<std::size_t>(y) * sheet.width + x) * 3];
            pixel[0] = colour.red;
            pixel[1] = colour.green;
            pixel[2] = colour.blue;
        }
    }
}

// The label character drawn from (left, top) of the place-th character.
void draw_label_character(Sheet& sheet, const SheetLayout& layout, int left, int top, int place, char character) {
    const int size = layout.label_scale;
    const int character_left = left + place * (digit_width + 1) * size;
    for (int y = 0; y < digit_height; ++y) {
        for (int x = 0; x < digit_width; ++x) {
            if ((label_row(character, y) >> (digit_width - 1 - x)) & 1) {
                fill(sheet, character_left + x * size, top + y * size, size, size, label_colour);
            }
        }
    }
}

// value in hexadecimal, digits wide with leading zeros, from (left, top).
void draw_number(Sheet& sheet, const SheetLayout& layout, int left, int top, int value, int digits) {
    for (int place = 0; place < digits; ++place) {
        const int digit = (value >> (4 * (digits - 1 - place))) & 0xF;
        draw_label_character(sheet, layout, left, top, place, "0123456789ABCDEF"[digit]);
    }
}

// What the colours of a difference sheet mean, drawn under its tables.
struct LegendEntry {
    Colour colour;
    const char* text;
};

constexpr LegendEntry legend_entries[] = {
    {only_first_colour, "1ST ONLY"},
    {only_second_colour, "2ND ONLY"},
    {dot_colour, "BOTH"},
    {differing_paper_colour, "CELL DIFFERS"},
};

int legend_height(const SheetLayout& layout) {
    return digit_height * layout.label_scale + 2 * layout.padding;
}

// From the left of one entry's swatch to the next one's.
int legend_entry_width(const SheetLayout& layout, const LegendEntry& entry) {
    const int swatch = digit_height * layout.label_scale;
    return swatch + layout.padding + label_width(layout, static_cast<int>(std::strlen(entry.text))) +
           4 * layout.padding;
}

int legend_width(const SheetLayout& layout) {
    int width = 0;
    for (const LegendEntry& entry : legend_entries) width += legend_entry_width(layout, entry);
    return width;
}

// Each colour as a swatch with a grid-coloured edge, and its meaning.
void draw_legend(Sheet& sheet, const SheetLayout& layout, int top) {
    const int swatch = digit_height * layout.label_scale;
    int left = layout.table_left;
    for (const LegendEntry& entry : legend_entries) {
        fill(sheet, left, top, swatch, swatch, grid_colour);
        fill(sheet, left + 1, top + 1, swatch - 2, swatch - 2, entry.colour);
        const int text_left = left + swatch + layout.padding;
        for (int place = 0; entry.text[place] != '\0'; ++place) {
            draw_label_character(sheet, layout, text_left, top, place, entry.text[place]);
        }
        left += legend_entry_width(layout, entry);
    }
}

void draw_grid(Sheet& sheet, const SheetLayout& layout, int table) {
    const int left = table_left(layout, table);
    const int width = layout.per_line * layout.pitch_x + 1;
    const int height = layout.line_count * layout.pitch_y + 1;
    for (int column = 0; column <= layout.per_line; ++column) {
        fill(sheet, left + column * layout.pitch_x, layout.table_top, 1, height, grid_colour);
    }
    for (int line = 0; line <= layout.line_count; ++line) {
        fill(sheet, left, layout.table_top + line * layout.pitch_y, width, 1, grid_colour);
    }
}

// Column codes above the table, line codes to its left.
void draw_labels(Sheet& sheet, const SheetLayout& layout, int table) {
    const int left = table_left(layout, table);
    const int cell_width = layout.pitch_x - 1;
    const int cell_height = layout.pitch_y - 1;
    const int column_label = label_width(layout, layout.column_label_digits);
    for (int column = 0; column < layout.per_line; ++column) {
        draw_number(sheet, layout, left + column * layout.pitch_x + 1 + (cell_width - column_label) / 2,
                    layout.padding, column, layout.column_label_digits);
    }
    const int row_label = label_width(layout, layout.row_label_digits);
    const int digit_pixels = digit_height * layout.label_scale;
    for (int line = 0; line < layout.line_count; ++line) {
        draw_number(sheet, layout, left - layout.padding - row_label,
                    layout.table_top + line * layout.pitch_y + 1 + (cell_height - digit_pixels) / 2,
                    line * layout.per_line, layout.row_label_digits);
    }
}

void draw_glyph(Sheet& sheet, const SheetLayout& layout, const RomImage& image, int index) {
    if (is_placeholder(image, index)) {
        const Pixel cell = cell_pixel(layout, index);
        fill(sheet, cell.x, cell.y, layout.pitch_x - 1, layout.pitch_y - 1, placeholder_paper_colour);
    }
    const GlyphDots glyph = glyph_dots(image, index);
    for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < layout.glyph_width; ++x) {
            if (!dot_is_set(glyph, x, y)) continue;
            const Pixel dot = dot_pixel(layout, index, x, y);
            fill(sheet, dot.x, dot.y, layout.scale, layout.scale, dot_colour);
        }
    }
}

// Glyph index of both images in one cell: a dot in both in the dot colour,
// a dot of one image only in that image's colour, on a pale yellow ground
// where the glyphs differ.
void draw_glyph_pair(Sheet& sheet, const SheetLayout& layout, const RomImage& first, const RomImage& second,
                     int index) {
    const GlyphDots a = glyph_dots(first, index);
    const GlyphDots b = glyph_dots(second, index);
    for (int y = 0; y < glyph_height; ++y) {
        if (a.rows[y] == b.rows[y]) continue;
        const Pixel cell = cell_pixel(layout, index);
        fill(sheet, cell.x, cell.y, layout.pitch_x - 1, layout.pitch_y - 1, differing_paper_colour);
        break;
    }
    for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < layout.glyph_width; ++x) {
            const bool in_a = dot_is_set(a, x, y);
            const bool in_b = dot_is_set(b, x, y);
            if (!in_a && !in_b) continue;
            const Colour colour = in_a && in_b ? dot_colour : in_a ? only_first_colour : only_second_colour;
            const Pixel dot = dot_pixel(layout, index, x, y);
            fill(sheet, dot.x, dot.y, layout.scale, layout.scale, colour);
        }
    }
}

// A sheet of this kind's size on white paper with its grids and labels.
Sheet blank_sheet(const SheetLayout& layout) {
    Sheet sheet{layout.width, layout.height, {}};
    sheet.pixels.resize(static_cast<std::size_t>(sheet.width) * sheet.height * 3);
    fill(sheet, 0, 0, sheet.width, sheet.height, paper_colour);
    for (int table = 0; table < layout.table_count; ++table) {
        draw_grid(sheet, layout, table);
        draw_labels(sheet, layout, table);
    }
    return sheet;
}

}  // namespace

SheetLayout sheet_layout(RomKind kind, int scale) {
    const RomKindFacts& facts = kind_facts(kind);
    const int cells_a_table = facts.glyph_count / facts.bank_count;
    SheetLayout layout{};
    layout.scale = scale;
    layout.label_scale = (scale + 1) / 2;
    layout.glyph_width = facts.glyph_width;
    layout.per_line = square_side(cells_a_table);
    layout.line_count = cells_a_table / layout.per_line;
    layout.table_count = facts.bank_count;
    layout.row_label_digits = hex_digits(cells_a_table - 1);
    layout.column_label_digits = hex_digits(layout.per_line - 1);
    layout.padding = 3 * layout.label_scale;
    layout.pitch_x = layout.glyph_width * scale + 1;
    layout.pitch_y = glyph_height * scale + 1;
    const int row_label_area = label_width(layout, layout.row_label_digits) + 2 * layout.padding;
    const int table_width = layout.per_line * layout.pitch_x + 1;
    const int table_gap = 4 * layout.padding;
    layout.table_left = row_label_area;
    layout.table_top = digit_height * layout.label_scale + 2 * layout.padding;
    layout.table_pitch = table_width + table_gap + row_label_area;
    layout.width = layout.table_left + (layout.table_count - 1) * layout.table_pitch + table_width + layout.padding;
    layout.height = layout.table_top + layout.line_count * layout.pitch_y + 1 + layout.padding;
    return layout;
}

Pixel dot_pixel(const SheetLayout& layout, int index, int x, int y) {
    const Pixel cell = cell_pixel(layout, index);
    return {cell.x + x * layout.scale, cell.y + y * layout.scale};
}

Sheet draw_sheet(const RomImage& image, int scale) {
    const SheetLayout layout = sheet_layout(image.kind, scale);
    Sheet sheet = blank_sheet(layout);
    for (int index = 0; index < kind_facts(image.kind).glyph_count; ++index) draw_glyph(sheet, layout, image, index);
    return sheet;
}

Sheet draw_difference_sheet(const RomImage& first, const RomImage& second, int scale) {
    SheetLayout layout = sheet_layout(first.kind, scale);
    const int legend_top = layout.height;
    layout.height += legend_height(layout);
    layout.width = std::max(layout.width, layout.table_left + legend_width(layout));
    Sheet sheet = blank_sheet(layout);
    for (int index = 0; index < kind_facts(first.kind).glyph_count; ++index) {
        draw_glyph_pair(sheet, layout, first, second, index);
    }
    draw_legend(sheet, layout, legend_top);
    return sheet;
}
