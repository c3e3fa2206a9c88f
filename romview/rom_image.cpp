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

// Whether the glyph shows what the font lacked.
bool is_missing(const RomImage& image, int index) {
    if (kind_facts(image.kind).missing == MissingMark::blank) return glyph_is_blank(glyph_dots(image, index));
    return is_placeholder(image, index);
}

}  // namespace

LoadResult load_rom_image(const char* path, RomImage& image) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return {LoadStatus::cannot_open, 0};
    const std::size_t size = std::fread(image.bytes, 1, largest_rom_size, file);
    const bool longer = size == largest_rom_size && std::fgetc(file) != EOF;
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    if (!read) return {LoadStatus::cannot_open, 0};
    if (longer) return {LoadStatus::too_large, size};
    for (const RomKindFacts& facts : rom_kinds) {
        if (size != facts.size) continue;
        image.kind = facts.kind;
        return {LoadStatus::loaded, size};
    }
    return {LoadStatus::wrong_size, size};
}

GlyphDots glyph_dots(const RomImage& image, int index) {
    const RomKindFacts& facts = kind_facts(image.kind);
    GlyphDots glyph{};
    const std::uint8_t* first = image.bytes + index * glyph_height;
    for (int y = 0; y < glyph_height; ++y) {
        for (int plane = 0; plane < facts.plane_count; ++plane) {
            const int shift = max_glyph_width - (plane + 1) * cell_width;
            glyph.rows[y] = static_cast<std::uint16_t>(glyph.rows[y] | first[plane * facts.plane_size + y] << shift);
        }
    }
    return glyph;
}

void set_glyph_dots(RomImage& image, int index, const GlyphDots& glyph) {
    const RomKindFacts& facts = kind_facts(image.kind);
    std::uint8_t* first = image.bytes + index * glyph_height;
    for (int y = 0; y < facts.glyph_rows; ++y) {
        for (int plane = 0; plane < facts.plane_count; ++plane) {
            const int shift = max_glyph_width - (plane + 1) * cell_width;
            first[plane * facts.plane_size + y] = static_cast<std::uint8_t>(glyph.rows[y] >> shift);
        }
    }
}

bool dot_is_set(const GlyphDots& glyph, int x, int y) {
    return (glyph.rows[y] >> (max_glyph_width - 1 - x)) & 1;
}

bool glyph_is_blank(const GlyphDots& glyph) {
    for (std::uint16_t row : glyph.rows) {
        if (row != 0) return false;
    }
    return true;
}

RomLayout rom_layout(const RomImage& image) {
    const RomKindFacts& facts = kind_facts(image.kind);
    if (facts.layout != RomLayout::two_character_sets) return facts.layout;
    for (int index = second_set_first_cell; index < facts.glyph_count; ++index) {
        const std::uint8_t* cell = image.bytes + index * glyph_height;
        for (int y = facts.glyph_rows; y < glyph_height; ++y) {
            if (cell[y] != 0) return RomLayout::first_set_and_mosaic;
        }
    }
    return RomLayout::two_character_sets;
}

bool is_placeholder(const RomImage& image, int index) {
    const RomKindFacts& facts = kind_facts(image.kind);
    if (facts.missing != MissingMark::placeholder || index < facts.first_coded_glyph) return false;
    // The bytes first: the whole image is looked at only for such a cell.
    return shows_placeholder(image, index) && rom_layout(image) == RomLayout::two_character_sets;
}

RomSummary summarize_rom(const RomImage& image) {
    const RomKindFacts& facts = kind_facts(image.kind);
    RomSummary summary{};
    for (int index = 0; index < facts.glyph_count; ++index) {
        if (glyph_is_blank(glyph_dots(image, index))) ++summary.blank;
        else ++summary.with_dots;
        if (is_missing(image, index)) summary.missing_codes[summary.missing_count++] = index - facts.first_coded_glyph;
    }
    return summary;
}
