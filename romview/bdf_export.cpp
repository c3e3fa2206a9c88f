#include "bdf_export.h"

#include <cstdio>

#include "bdf_lines.h"
#include "kanji_table.h"

namespace {

constexpr int resolution = 72;  // dots per inch, so that a point is a dot
constexpr int descent = 2;      // rows below the baseline
constexpr int tenths = 10;      // POINT_SIZE and AVERAGE_WIDTH count tenths of a point, of a dot

// The character ROM's cells: the first set under their own codes, the
// second in the private use area.
std::int32_t cell_encoding(int cell) {
    if (cell < second_set_first_cell) return cell;
    return second_set_private_use_first + cell - second_set_first_cell;
}

// The kanji ROM's slots under their kanji's JIS codes.
std::int32_t kanji_encoding(int slot) {
    return kanji_code_map.code[JIS][slot];
}

// How the font of one kind of image is named and numbered.
struct FontNaming {
    const char* family;
    const char* registry;
    const char* registry_encoding;
    const char* glyph_prefix;  // before the glyph's number in hexadecimal
    bool named_by_encoding;    // that number: the glyph's encoding, or else its index
    std::int32_t (*encoding)(int index);
};

// In the order of RomKind.
constexpr FontNaming font_namings[] = {
    {"RomCell", "ISO10646", "1", "cell", false, cell_encoding},
    {"RomKanji", "JISX0208.1990", "0", "kanji", true, kanji_encoding},
};

// The font's face: the image's glyphs as they are, the font glyph rows of
// each, ascent and descent filling them.
struct FontShape {
    FontNaming naming;
    int width, height;  // dots
    int ascent;
};

FontShape font_shape(RomKind kind) {
    const RomKindFacts& facts = kind_facts(kind);
    return {font_namings[static_cast<int>(kind)], facts.glyph_width, facts.glyph_rows, facts.glyph_rows - descent};
}

void add_header(std::string& text, const FontShape& shape, RomKind kind) {
    const FontNaming& naming = shape.naming;
    const int point_size = shape.height * tenths;
    append_bdf_line(text, "STARTFONT 2.1");
    append_bdf_line(text, "COMMENT Exported by romview from a %s image", kind_facts(kind).name);
    append_bdf_line(text, "FONT -romview-%s-Medium-R-Normal--%d-%d-%d-%d-C-%d-%s-%s", naming.family, shape.height,
                    point_size, resolution, resolution, shape.width * tenths, naming.registry,
                    naming.registry_encoding);
    append_bdf_line(text, "SIZE %d %d %d", shape.height, resolution, resolution);
    append_bdf_line(text, "FONTBOUNDINGBOX %d %d 0 %d", shape.width, shape.height, -descent);
    append_bdf_line(text, "STARTPROPERTIES 17");
    append_bdf_line(text, "FOUNDRY \"romview\"");
    append_bdf_line(text, "FAMILY_NAME \"%s\"", naming.family);
    append_bdf_line(text, "WEIGHT_NAME \"Medium\"");
    append_bdf_line(text, "SLANT \"R\"");
    append_bdf_line(text, "SETWIDTH_NAME \"Normal\"");
    append_bdf_line(text, "ADD_STYLE_NAME \"\"");
    append_bdf_line(text, "PIXEL_SIZE %d", shape.height);
    append_bdf_line(text, "POINT_SIZE %d", point_size);
    append_bdf_line(text, "RESOLUTION_X %d", resolution);
    append_bdf_line(text, "RESOLUTION_Y %d", resolution);
    append_bdf_line(text, "SPACING \"C\"");
    append_bdf_line(text, "AVERAGE_WIDTH %d", shape.width * tenths);
    append_bdf_line(text, "CHARSET_REGISTRY \"%s\"", naming.registry);
    append_bdf_line(text, "CHARSET_ENCODING \"%s\"", naming.registry_encoding);
    append_bdf_line(text, "DEFAULT_CHAR %d", naming.encoding(0));
    append_bdf_line(text, "FONT_ASCENT %d", shape.ascent);
    append_bdf_line(text, "FONT_DESCENT %d", descent);
    append_bdf_line(text, "ENDPROPERTIES");
    append_bdf_line(text, "CHARS %d", kind_facts(kind).glyph_count);
}

void add_glyph(std::string& text, const FontShape& shape, const RomImage& image, int index) {
    const FontNaming& naming = shape.naming;
    const std::int32_t encoding = naming.encoding(index);
    const auto number = static_cast<unsigned>(naming.named_by_encoding ? encoding : index);
    append_bdf_line(text, "STARTCHAR %s%04X", naming.glyph_prefix, number);
    append_bdf_line(text, "ENCODING %d", encoding);
    append_bdf_line(text, "SWIDTH %d 0", shape.width * 1000 / shape.height);
    append_bdf_line(text, "DWIDTH %d 0", shape.width);
    const GlyphBox box = bdf_glyph_box(image.kind);
    append_bdf_line(text, "BBX %d %d %d %d", box.width, box.height, box.x_offset, box.y_offset);
    append_bdf_line(text, "BITMAP");
    const GlyphDots glyph = glyph_dots(image, index);
    for (int y = 0; y < shape.height; ++y) {
        const std::uint8_t row[] = {static_cast<std::uint8_t>(glyph.rows[y] >> cell_width),
                                    static_cast<std::uint8_t>(glyph.rows[y])};
        append_bdf_row(text, row, static_cast<std::size_t>(shape.width / cell_width));
    }
    append_bdf_line(text, "ENDCHAR");
}

}  // namespace

std::int32_t bdf_encoding(RomKind kind, int index) {
    return font_namings[static_cast<int>(kind)].encoding(index);
}

GlyphBox bdf_glyph_box(RomKind kind) {
    const FontShape shape = font_shape(kind);
    return {shape.width, shape.height, 0, -descent};
}

std::string export_bdf(const RomImage& image) {
    const FontShape shape = font_shape(image.kind);
    std::string text;
    add_header(text, shape, image.kind);
    for (int index = 0; index < kind_facts(image.kind).glyph_count; ++index) add_glyph(text, shape, image, index);
    append_bdf_line(text, "ENDFONT");
    return text;
}
