// BDF 2.1 output: header, the four properties the converters read, then
// one STARTCHAR block per code in ascending order.
#include "bdf_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "bdf_lines.h"

namespace {

int clamp_int(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, -0x7FFFFFFF, 0x7FFFFFFF));
}

struct Box {
    std::int64_t left, bottom, right, top;
};

Box bounding_box(const GlyphTable& table) {
    Box box = {0, 0, 0, 0};
    bool first = true;
    for (const auto& [code, glyph] : table) {
        const GlyphBitmap& bitmap = *glyph;
        const std::int64_t bottom = bitmap.y_offset;
        const Box own = {bitmap.x_offset, bottom, std::int64_t{bitmap.x_offset} + bitmap.width,
                         bottom + bitmap.height};
        if (first) {
            box = own;
            first = false;
        }
        box = {std::min(box.left, own.left), std::min(box.bottom, own.bottom),
               std::max(box.right, own.right), std::max(box.top, own.top)};
    }
    return box;
}

void append_glyph(std::string& text, std::int64_t code, const GlyphBitmap& bitmap, int pixel_size) {
    append_bdf_line(text, "STARTCHAR C%04llX", static_cast<unsigned long long>(code));
    append_bdf_line(text, "ENCODING %lld", static_cast<long long>(code));
    const std::int64_t scalable = pixel_size > 0 ? std::int64_t{bitmap.advance} * 1000 / pixel_size : 0;
    append_bdf_line(text, "SWIDTH %d 0", clamp_int(scalable));
    append_bdf_line(text, "DWIDTH %d 0", bitmap.advance);
    append_bdf_line(text, "BBX %d %d %d %d", bitmap.width, bitmap.height, bitmap.x_offset, bitmap.y_offset);
    text += "BITMAP\n";
    const std::size_t row_bytes = static_cast<std::size_t>(bitmap.width + 7) / 8;
    // A glyph 0 dots wide has rows of no bytes and no row data at all.
    for (int row = 0; row < bitmap.height; ++row) append_bdf_row(text, bitmap.rows.data() + row * row_bytes, row_bytes);
    text += "ENDCHAR\n";
}

}  // namespace

void copy_bdf_name(char (&target)[bdf_name_capacity], const char* name) {
    int length = 0;
    for (; *name != '\0' && length < bdf_name_capacity - 1; ++name) {
        const unsigned char character = static_cast<unsigned char>(*name);
        if (std::isalnum(character) || character == '.' || character == '-' || character == '_') {
            target[length++] = static_cast<char>(character);
        }
    }
    target[length] = '\0';
}

std::string write_bdf(const GlyphTable& table, const BdfProperties& properties) {
    std::string text;
    const int pixel_size = properties.pixel_size;
    const Box box = bounding_box(table);
    append_bdf_line(text, "STARTFONT 2.1");
    append_bdf_line(text, "FONT -fontprep-merged-medium-r-normal--%d-%lld-72-72-c-0-%s-%s", pixel_size,
                    static_cast<long long>(pixel_size) * 10, properties.registry, properties.encoding);
    append_bdf_line(text, "SIZE %d 72 72", pixel_size);
    append_bdf_line(text, "FONTBOUNDINGBOX %d %d %d %d", clamp_int(box.right - box.left),
                    clamp_int(box.top - box.bottom), clamp_int(box.left), clamp_int(box.bottom));
    append_bdf_line(text, "STARTPROPERTIES 5");
    append_bdf_line(text, "PIXEL_SIZE %d", pixel_size);
    append_bdf_line(text, "FONT_ASCENT %d", properties.ascent);
    append_bdf_line(text, "FONT_DESCENT %d", properties.descent);
    append_bdf_line(text, "CHARSET_REGISTRY \"%s\"", properties.registry);
    append_bdf_line(text, "CHARSET_ENCODING \"%s\"", properties.encoding);
    append_bdf_line(text, "ENDPROPERTIES");
    append_bdf_line(text, "CHARS %zu", table.size());
    for (const auto& [code, glyph] : table) append_glyph(text, code, *glyph, pixel_size);
    append_bdf_line(text, "ENDFONT");
    return text;
}
