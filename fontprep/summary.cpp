#include "summary.h"

#include "glyph_wants.h"

namespace {

std::string fitting_note(const FontSummary& font) {
    if (!font.fitted) return "";
    return ", " + std::to_string(font.fit.fitted) + " fitted to the cell, " + std::to_string(font.fit.left_out) +
           " left out";
}

bool has_dot_between(const GlyphBitmap& glyph, int ascent, int descent) {
    const std::size_t row_bytes = static_cast<std::size_t>(glyph.width + 7) / 8;
    for (int row = 0; row < glyph.height; ++row) {
        const long long y = static_cast<long long>(glyph.y_offset) + glyph.height - 1 - row;
        if (y < -descent || y >= ascent) continue;
        for (std::size_t byte = 0; byte < row_bytes; ++byte) {
            if (glyph.rows[row * row_bytes + byte] != 0) return true;
        }
    }
    return false;
}

void list_missing(std::FILE* stream, const char* prefix, RomLayout layout, const std::vector<int>& codes) {
    for (const int code : codes) std::fprintf(stream, "%s  %s\n", prefix, missing_code_line(layout, code).c_str());
}

}  // namespace

void report_font(const FontSummary& font, bool first, Numbering output) {
    const char* numbering = output == Numbering::jis ? "JIS" : "Unicode";
    const MergeCounts& counts = font.merged;
    if (first) {
        std::fprintf(stderr, "fontprep: %s: %d glyphs taken, %d aliases added, %d dropped (no %s code)%s\n",
                     font.name, counts.taken, counts.aliases, counts.dropped, numbering, fitting_note(font).c_str());
    } else {
        std::fprintf(stderr,
                     "fontprep: %s: %d codes filled, %d aliases added, %d dropped (no %s code), "
                     "%d already present%s\n",
                     font.name, counts.taken, counts.aliases, counts.dropped, numbering, counts.present,
                     fitting_note(font).c_str());
    }
}

std::vector<std::int32_t> drawn_codes(const GlyphTable& table, int ascent, int descent) {
    std::vector<std::int32_t> codes;
    for (const auto& [code, glyph] : table) {
        if (code <= INT32_MAX && has_dot_between(*glyph, ascent, descent)) codes.push_back(static_cast<std::int32_t>(code));
    }
    return codes;
}

void report_coverage(std::FILE* stream, const char* prefix, const ImageCoverage& coverage,
                     const std::vector<FontSummary>& fonts) {
    for (const FontSummary& font : fonts) {
        if (!font.jis0213_plane2) continue;
        std::fprintf(stream,
                     "%s%s: a JIS X 0213 plane 2 font: the images want kanji of JIS X 0208 and plane 1, "
                     "which it lacks\n",
                     prefix, font.name);
    }
    if (coverage.kanji_filled == 0) {
        std::fprintf(stream, "%s%s: no kanji slot filled: the font has none of its %d kanji\n", prefix,
                     kanji_rom_name, kanji_slot_count);
    } else {
        std::fprintf(stream, "%s%s: %d of %d kanji slots filled, %zu blank\n", prefix, kanji_rom_name,
                     coverage.kanji_filled, kanji_slot_count, coverage.kanji_missing.size());
        list_missing(stream, prefix, RomLayout::kanji, coverage.kanji_missing);
    }
    std::fprintf(stream, "%s%s and %s: %d of %d first-set cells filled\n", prefix, character_rom_60_name,
                 character_rom_66_name, coverage.first_set_filled, bank_cell_count);
    std::fprintf(stream, "%s%s: %d of %d second-set cells a font can fill are filled, %zu show the placeholder\n",
                 prefix, character_rom_66_name, coverage.second_set_fillable - static_cast<int>(coverage.second_set_missing.size()),
                 coverage.second_set_fillable, coverage.second_set_missing.size());
    list_missing(stream, prefix, RomLayout::two_character_sets, coverage.second_set_missing);
    std::fprintf(stream, "%s%s: %d more cells show the placeholder, the tables naming no glyph for them\n", prefix,
                 character_rom_66_name, coverage.second_set_unfillable);
}
