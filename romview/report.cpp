#include "report.h"

#include "glyph_wants.h"

namespace {

// Glyph indexes are listed with as many digits in both kinds of image.
constexpr int index_digits = hex_digits(max_glyph_count - 1);

GlyphWant missing_code_want(const RomKindFacts& facts, int code) {
    return glyph_want(facts.layout, facts.first_coded_glyph + code);
}

bool no_font_fills(const RomKindFacts& facts, int code) {
    return fillable(missing_code_want(facts, code)) == Fillable::by_no_font;
}

// The missing codes of one group: those some font could fill, or those no
// font can fill.
void print_fillable_group(std::FILE* report, const RomKindFacts& facts, const RomSummary& summary, bool unfillable,
                          const char* heading) {
    int count = 0;
    for (int i = 0; i < summary.missing_count; ++i) count += no_font_fills(facts, summary.missing_codes[i]) == unfillable;
    std::fprintf(report, "  %s: %d\n", heading, count);
    for (int i = 0; i < summary.missing_count; ++i) {
        const int code = summary.missing_codes[i];
        if (no_font_fills(facts, code) != unfillable) continue;
        std::fprintf(report, "    %s\n", missing_code_line(facts.layout, code).c_str());
    }
}

// " (16 bytes a cell)" where more rows are stored than a glyph fills.
std::string storage_note(const RomKindFacts& facts) {
    if (facts.glyph_rows == glyph_height) return "";
    return " (" + std::to_string(glyph_height * facts.plane_count) + " bytes a cell)";
}

}  // namespace

void print_glyph_text(std::FILE* report, const RomImage& image, int index) {
    const GlyphDots glyph = glyph_dots(image, index);
    const int width = kind_facts(image.kind).glyph_width;
    for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < width; ++x) std::fputc(dot_is_set(glyph, x, y) ? '#' : '.', report);
        std::fputc('\n', report);
    }
}

void print_missing_codes(std::FILE* report, const RomImage& image) {
    const RomKindFacts& facts = kind_facts(image.kind);
    const RomSummary summary = summarize_rom(image);
    for (int i = 0; i < summary.missing_count; ++i) {
        std::fprintf(report, "%s\n", missing_code_line(facts.layout, summary.missing_codes[i]).c_str());
    }
}

void print_summary(std::FILE* report, const RomImage& image, const char* image_name, const std::string& sheet_place,
                   const Sheet& sheet) {
    const RomKindFacts& facts = kind_facts(image.kind);
    const RomSummary summary = summarize_rom(image);
    std::fprintf(report, "%s: %s, %d %s of %d x %d dots%s\n", image_name, facts.name, facts.glyph_count,
                 facts.glyph_word, facts.glyph_width, facts.glyph_rows, storage_note(facts).c_str());
    std::fprintf(report, "%s with dots: %d, blank: %d\n", facts.glyph_word, summary.with_dots, summary.blank);
    std::fprintf(report, "%s: %d\n", facts.missing_heading, summary.missing_count);
    if (facts.names_fillers) {
        print_fillable_group(report, facts, summary, false, "a font could fill them, this font lacked them");
        print_fillable_group(report, facts, summary, true, "no font can fill them, the tables name no glyph there");
    } else {
        for (int i = 0; i < summary.missing_count; ++i) {
            std::fprintf(report, "  %s\n", missing_code_line(facts.layout, summary.missing_codes[i]).c_str());
        }
    }
    std::fprintf(report, "sheet: %s, %d x %d pixels\n", sheet_place.c_str(), sheet.width, sheet.height);
}

void print_differences(std::FILE* report, RomKind kind, RomLayout layout, const RomDifference& difference) {
    for (int i = 0; i < difference.count; ++i) {
        const GlyphDifference& glyph = difference.glyphs[i];
        const std::string want = describe_want(glyph_want(layout, glyph.index));
        std::fprintf(report, "0x%0*X\t%d dot%s%s%s\n", index_digits, glyph.index, glyph.dots,
                     glyph.dots == 1 ? "" : "s", want.empty() ? "" : "\t", want.c_str());
    }
    std::fprintf(report, "%s differing: %d\n", kind_facts(kind).glyph_word, difference.count);
}
