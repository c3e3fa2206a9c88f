#include "apply_font.h"

#include <cstdio>
#include <cstring>

#include "font_stream.h"
#include "line_scan.h"

namespace {

// The image glyph the exported font numbers code, or -1.
int glyph_of_code(RomKind kind, std::int64_t code) {
    for (int index = 0; index < kind_facts(kind).glyph_count; ++index) {
        if (bdf_encoding(kind, index) == code) return index;
    }
    return -1;
}

bool fits(const GlyphBitmap& glyph, const GlyphBox& box) {
    const long long right = static_cast<long long>(glyph.x_offset) + glyph.width;
    const long long top = static_cast<long long>(glyph.y_offset) + glyph.height;
    return glyph.x_offset >= box.x_offset && right <= box.x_offset + box.width && glyph.y_offset >= box.y_offset &&
           top <= box.y_offset + box.height;
}

// The glyph's dots in the image glyph's box; only called for a glyph that
// fits it.
GlyphDots placed_dots(const GlyphBitmap& glyph, const GlyphBox& box) {
    GlyphDots dots{};
    const int row_bytes = (glyph.width + 7) / 8;
    const int top_row = box.y_offset + box.height - (glyph.y_offset + glyph.height);
    const int left_column = glyph.x_offset - box.x_offset;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const std::uint8_t byte = glyph.rows[static_cast<std::size_t>(y) * row_bytes + x / 8];
            if ((byte >> (7 - x % 8)) & 1) {
                dots.rows[top_row + y] |= static_cast<std::uint16_t>(1u << (max_glyph_width - 1 - left_column - x));
            }
        }
    }
    return dots;
}

bool same_rows(const GlyphDots& a, const GlyphDots& b, int rows) {
    for (int y = 0; y < rows; ++y) {
        if (a.rows[y] != b.rows[y]) return false;
    }
    return true;
}

}  // namespace

int count_unencoded_glyphs(const char* name) {
    static FontStream stream;
    if (std::strcmp(name, "-") == 0 || !open_font_stream(stream, name)) return 0;
    int unencoded = 0;
    char line[line_capacity];
    while (read_line(stream, line)) {
        std::int32_t encoding;
        if (scan_keyword_number(line, "ENCODING", encoding) && encoding < 0) ++unencoded;
    }
    close_font_stream(stream);
    return unencoded;
}

ApplyResult apply_font(const SourceFont& font, int unencoded, RomImage& image) {
    ApplyResult result{};
    if (font.scalable) return {ApplyError::outline_font, 0, {}, 0, 0};
    if (font.codeless > 0 || unencoded > 0) return {ApplyError::without_code, 0, {}, 0, 0};
    const GlyphBox box = bdf_glyph_box(image.kind);
    for (const CodedGlyph& coded : font.glyphs) {
        const GlyphBitmap& glyph = font.bitmaps[static_cast<std::size_t>(coded.bitmap)];
        if (glyph_of_code(image.kind, coded.code) < 0) return {ApplyError::names_no_glyph, coded.code, {}, 0, 0};
        if (!fits(glyph, box)) {
            return {ApplyError::does_not_fit, coded.code, {glyph.width, glyph.height, glyph.x_offset, glyph.y_offset},
                    0, 0};
        }
    }
    const int rows = kind_facts(image.kind).glyph_rows;
    for (const CodedGlyph& coded : font.glyphs) {
        const int index = glyph_of_code(image.kind, coded.code);
        const GlyphDots dots = placed_dots(font.bitmaps[static_cast<std::size_t>(coded.bitmap)], box);
        if (!same_rows(dots, glyph_dots(image, index), rows)) ++result.changed;
        set_glyph_dots(image, index, dots);
        ++result.applied;
    }
    return result;
}

std::string apply_refusal(const char* font_name, const ApplyResult& result, RomKind kind) {
    const RomKindFacts& facts = kind_facts(kind);
    const std::string glyph = std::string(font_name) + ": the glyph of ENCODING " + std::to_string(result.code);
    const GlyphBox cell = bdf_glyph_box(kind);
    switch (result.error) {
    case ApplyError::none: break;
    case ApplyError::outline_font:
        return std::string(font_name) + ": an outline font; --apply takes a bitmap font such as --bdf writes";
    case ApplyError::without_code: return std::string(font_name) + ": a glyph without an ENCODING names no glyph";
    case ApplyError::names_no_glyph: return glyph + " names none of the " + facts.glyph_word + " of a " + facts.name;
    case ApplyError::does_not_fit: {
        const GlyphBox& box = result.box;
        char text[160];
        std::snprintf(text, sizeof text, " (BBX %d %d %d %d) does not fit its %d x %d box (BBX %d %d %d %d)", box.width,
                      box.height, box.x_offset, box.y_offset, cell.width, cell.height, cell.width, cell.height,
                      cell.x_offset, cell.y_offset);
        return glyph + text;
    }
    }
    return "";
}
