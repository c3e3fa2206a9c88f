#include "bdf_export.h"

#include <cstdarg>
#include <cstdio>

#include "rom_format.h"
#include "kanji_table.h"

namespace {

constexpr int resolution = 72;  // dots per inch, so that a point is a dot

struct FontShape {
    const char* family;
    const char* registry;
    const char* registry_encoding;
    int width, height;  // dots
    int ascent, descent;
    const char* glyph_prefix;  // before the glyph's number in hexadecimal
};

FontShape font_shape(RomKind kind) {
    if (kind == RomKind::kanji) return {"RomKanji", "JISX0208.1990", "0", 16, 16, 14, 2, "kanji"};
    return {"RomCell", "ISO10646", "1", 8, cell_glyph_rows, 8, 2, "cell"};
}

void add_line(std::string& text, const char* format, ...) {
    char line[128];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    text += line;
    text += '\n';
}

void add_header(std::string& text, const FontShape& shape, RomKind kind) {
    const int point_size = shape.height * 10;  // decipoints
    add_line(text, "STARTFONT 2.1");
    add_line(text, "COMMENT Exported by romview from a %s ROM image", kind == RomKind::kanji ? "kanji" : "character");
    add_line(text, "FONT -romview-%s-Medium-R-Normal--%d-%d-%d-%d-C-%d-%s-%s", shape.family, shape.height,
             point_size, resolution, resolution, shape.width * 10, shape.registry, shape.registry_encoding);
    add_line(text, "SIZE %d %d %d", shape.height, resolution, resolution);
    add_line(text, "FONTBOUNDINGBOX %d %d 0 %d", shape.width, shape.height, -shape.descent);
    add_line(text, "STARTPROPERTIES 17");
    add_line(text, "FOUNDRY \"romview\"");
    add_line(text, "FAMILY_NAME \"%s\"", shape.family);
    add_line(text, "WEIGHT_NAME \"Medium\"");
    add_line(text, "SLANT \"R\"");
    add_line(text, "SETWIDTH_NAME \"Normal\"");
    add_line(text, "ADD_STYLE_NAME \"\"");
    add_line(text, "PIXEL_SIZE %d", shape.height);
    add_line(text, "POINT_SIZE %d", point_size);
    add_line(text, "RESOLUTION_X %d", resolution);
    add_line(text, "RESOLUTION_Y %d", resolution);
    add_line(text, "SPACING \"C\"");
    add_line(text, "AVERAGE_WIDTH %d", shape.width * 10);
    add_line(text, "CHARSET_REGISTRY \"%s\"", shape.registry);
    add_line(text, "CHARSET_ENCODING \"%s\"", shape.registry_encoding);
    add_line(text, "DEFAULT_CHAR %d", bdf_encoding(kind, 0));
    add_line(text, "FONT_ASCENT %d", shape.ascent);
    add_line(text, "FONT_DESCENT %d", shape.descent);
    add_line(text, "ENDPROPERTIES");
    add_line(text, "CHARS %d", rom_shape(kind).glyph_count);
}

void add_glyph(std::string& text, const FontShape& shape, const RomImage& image, int index) {
    const std::int32_t encoding = bdf_encoding(image.kind, index);
    char name[32];
    std::snprintf(name, sizeof name, "%s%04X", shape.glyph_prefix,
                  static_cast<unsigned>(image.kind == RomKind::kanji ? encoding : index));
    add_line(text, "STARTCHAR %s", name);
    add_line(text, "ENCODING %d", encoding);
    add_line(text, "SWIDTH %d 0", shape.width * 1000 / shape.height);
    add_line(text, "DWIDTH %d 0", shape.width);
    add_line(text, "BBX %d %d 0 %d", shape.width, shape.height, -shape.descent);
    add_line(text, "BITMAP");
    const GlyphDots glyph = glyph_dots(image, index);
    for (int y = 0; y < shape.height; ++y) {
        if (shape.width == 16) add_line(text, "%04X", glyph.rows[y]);
        else add_line(text, "%02X", glyph.rows[y] >> 8);
    }
    add_line(text, "ENDCHAR");
}

}  // namespace

std::int32_t bdf_encoding(RomKind kind, int index) {
    if (kind == RomKind::kanji) return kanji_code_map.code[JIS][index];
    if (index < second_set_first_cell) return index;
    return second_set_private_use_first + index - second_set_first_cell;
}

std::string export_bdf(const RomImage& image) {
    const FontShape shape = font_shape(image.kind);
    std::string text;
    add_header(text, shape, image.kind);
    for (int index = 0; index < rom_shape(image.kind).glyph_count; ++index) add_glyph(text, shape, image, index);
    add_line(text, "ENDFONT");
    return text;
}
