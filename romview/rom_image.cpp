#include "rom_image.h"

#include <cstdio>

namespace {

bool shows_placeholder(const RomImage& image, int index) {
    const std::uint8_t* cell = image.bytes + index * glyph_height;
    for (int y = 0; y < glyph_height; ++y) {
        if (cell[y] != placeholder_rows[y]) return false;
    }
    return true;
}

}  // namespace

RomShape rom_shape(RomKind kind) {
    if (kind == RomKind::kanji) return {1024, 16};
    return {512, 8};
}

LoadResult load_rom_image(const char* path, RomImage& image) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return {LoadStatus::cannot_open, 0};
    const std::size_t size = std::fread(image.bytes, 1, kanji_rom_size, file);
    const bool longer = size == kanji_rom_size && std::fgetc(file) != EOF;
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    if (!read) return {LoadStatus::cannot_open, 0};
    if (longer) return {LoadStatus::too_large, size};
    if (size == character_rom_size) image.kind = RomKind::character;
    else if (size == kanji_rom_size) image.kind = RomKind::kanji;
    else return {LoadStatus::wrong_size, size};
    return {LoadStatus::loaded, size};
}

GlyphDots glyph_dots(const RomImage& image, int index) {
    GlyphDots glyph{};
    const std::uint8_t* first = image.bytes + index * glyph_height;
    for (int y = 0; y < glyph_height; ++y) {
        glyph.rows[y] = static_cast<std::uint16_t>(first[y] << 8);
        if (image.kind == RomKind::kanji) glyph.rows[y] |= first[kanji_plane_size + y];
    }
    return glyph;
}

bool dot_is_set(const GlyphDots& glyph, int x, int y) {
    return (glyph.rows[y] >> (15 - x)) & 1;
}

bool glyph_is_blank(const GlyphDots& glyph) {
    for (std::uint16_t row : glyph.rows) {
        if (row != 0) return false;
    }
    return true;
}

RomLayout rom_layout(const RomImage& image) {
    if (image.kind == RomKind::kanji) return RomLayout::kanji;
    for (int index = second_set_first_cell; index < rom_shape(image.kind).glyph_count; ++index) {
        const std::uint8_t* cell = image.bytes + index * glyph_height;
        for (int y = cell_glyph_rows; y < glyph_height; ++y) {
            if (cell[y] != 0) return RomLayout::first_set_and_mosaic;
        }
    }
    return RomLayout::two_character_sets;
}

bool is_placeholder(const RomImage& image, int index) {
    if (image.kind != RomKind::character || index < second_set_first_cell) return false;
    // The bytes first: the whole image is looked at only for such a cell.
    return shows_placeholder(image, index) && rom_layout(image) == RomLayout::two_character_sets;
}

RomSummary summarize_rom(const RomImage& image) {
    RomSummary summary{};
    const RomShape shape = rom_shape(image.kind);
    for (int index = 0; index < shape.glyph_count; ++index) {
        const bool blank = glyph_is_blank(glyph_dots(image, index));
        if (blank) ++summary.blank;
        else ++summary.with_dots;
        const bool missing = image.kind == RomKind::kanji ? blank : is_placeholder(image, index);
        if (!missing) continue;
        const int code = image.kind == RomKind::kanji ? index : index - second_set_first_cell;
        summary.missing_codes[summary.missing_count++] = code;
    }
    return summary;
}
