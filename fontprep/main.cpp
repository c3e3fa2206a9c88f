// fontprep: turns the fonts a user has (PCF, BDF, either gzip-compressed,
// TrueType/OpenType, Windows .fon) into one BDF font for glyphmill and
// cellforge, on standard output or into -o FILE.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "bdf_writer.h"
#include "fitting.h"
#include "font_choice.h"
#include "font_coverage.h"
#include "font_source.h"
#include "merge.h"
#include "numbering.h"
#include "options.h"
#include "platform.h"
#include "program.h"
#include "summary.h"

namespace {

// A font too large for memory ends the run with one line, like any other
// font that cannot be read.
[[noreturn]] void report_out_of_memory() {
    fail("out of memory");
}

int parse_size(const char* text) {
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value < 1 || value > max_pixel_size) {
        fail("bad size " + std::string(text) + ": give 1 to " + std::to_string(max_pixel_size));
    }
    return value;
}

void read_font(const char* name, const FontRequest& request, SourceFont& font) {
    const SourceResult result = read_font_file(name, request, font);
    if (result.error != SourceError::none) fail(source_error_message(name, result, font));
}

// Writing the font over one of the fonts it is made from would lose that
// font, however the two names are spelt.
void refuse_writing_over_a_font(const Options& options) {
    if (options.output_name == nullptr) return;
    for (const char* name : options.font_names) {
        if (std::strcmp(name, "-") != 0 && is_same_file(name, options.output_name)) {
            fail(std::string(options.output_name) + " is the font " + name + " itself; give -o another name");
        }
    }
}

// Which glyphs of the font being read are worth copying: those that fill
// a code the table lacks in the written numbering, which for the first
// font without -n is the font's own.
struct GlyphsWanted {
    const GlyphTable* table;
    bool numbering_given;
    Numbering output;
    bool classified;  // numbering holds the font's numbering
    SourceNumbering numbering;
};

bool fills_a_missing_code(void* context, const SourceFont& font, std::int64_t code) {
    GlyphsWanted& wanted = *static_cast<GlyphsWanted*>(context);
    if (!wanted.classified) {
        wanted.numbering = classify_font(font.registry, font.encoding, font.unicode_cmap);
        wanted.classified = true;
    }
    const Numbering output = wanted.numbering_given ? wanted.output : natural_numbering(wanted.numbering);
    return fills_missing_code(*wanted.table, wanted.numbering, code, output);
}

void write_output(const char* output_name, const std::string& text) {
    if (output_name == nullptr) {
        use_binary_standard_output();
        write_standard_output_or_fail(text.data(), text.size());
    } else {
        write_file_or_fail(output_name, text.data(), text.size());
    }
}

// The size asked for: -s, else the size --for names, else 0 (the first
// font's own, 16 for an outline font); the em's width only from --for.
struct SizeAsked {
    int pixel_size;
    int pixel_width;
    int strike_size;
    bool by_s;
};

SizeAsked size_asked(const Options& options) {
    const ImageTarget* target = nullptr;
    if (options.target_text != nullptr) {
        target = find_image_target(options.target_text);
        if (target == nullptr) fail("bad tool " + std::string(options.target_text) + ": give glyphmill or cellforge");
    }
    if (options.size_text != nullptr) return {parse_size(options.size_text), 0, 0, true};
    if (target != nullptr) return {target->pixel_size, target->pixel_width, target->strike_size, false};
    return {0, 0, 0, false};
}

Numbering numbering_asked(const Options& options) {
    if (options.numbering_text == nullptr) return Numbering::unicode;
    const std::string_view text = options.numbering_text;
    if (text != "jis" && text != "unicode") fail("bad numbering " + std::string(text) + ": give jis or unicode");
    return text == "jis" ? Numbering::jis : Numbering::unicode;
}

bool fits(const Options& options, const SourceFont& font) {
    return options.fitting == Fitting::every_font || (options.fitting == Fitting::outline_fonts && font.scalable);
}

}  // namespace

int main(int argc, char** argv) {
    // 1. The command line; --help and --version answer alone. A font is
    //    never written to a terminal, where it would only flood the screen.
    start_companion("fontprep");
    std::set_new_handler(report_out_of_memory);
    Options options;
    const bool parsed = parse_command_line(argc, argv, options);
    if (options.help || options.version) {
        const char* answer = options.help ? fontprep_help : "fontprep " TOOLKIT_VERSION "\n";
        write_standard_output_or_fail(answer, std::strlen(answer));
        return EXIT_SUCCESS;
    }
    if (!parsed) {
        std::fprintf(stderr, "%s\n", fontprep_usage);
        return EXIT_FAILURE;
    }
    const SizeAsked asked = size_asked(options);
    int pixel_size = asked.pixel_size;
    int pixel_width = asked.pixel_width;
    const bool numbering_given = options.numbering_text != nullptr;
    Numbering output = numbering_asked(options);
    if (!options.report_only && options.output_name == nullptr && is_terminal(stdout)) {
        fail("will not write a font to a terminal: give -o FILE or a pipe");
    }
    if (!options.report_only) refuse_writing_over_a_font(options);

    // 2. Read the fonts in turn. The first sets the pixel size (a bitmap
    //    font its own or a strike --for prefers, unless -s asks for
    //    another), the cell, the ascent
    //    and descent and, unless -n says otherwise, the numbering; every
    //    later bitmap font must have that pixel size and only fills what is
    //    missing. Only the glyphs that fill a missing code are copied, and
    //    each font goes once merged: the table holds its own copies, within
    //    max_bitmap_bytes for all fonts together. Glyphs are fitted to the
    //    cell before they are merged, so that a later font fills the codes
    //    whose glyphs were left out.
    const std::size_t font_count = options.font_names.size();
    std::vector<FontSummary> summaries(font_count);
    GlyphTable table;
    SourceFont first{};  // the first font's properties, without its glyphs
    std::size_t bitmap_budget = max_bitmap_bytes;
    BdfProperties properties = {0, 0, 0, "", ""};
    CellBox cell = {0, 0, 0};
    for (std::size_t index = 0; index < font_count; ++index) {
        const char* name = options.font_names[index];
        GlyphsWanted wanted = {&table, numbering_given || index > 0, output, false, {SourceKind::unknown, nullptr}};
        const FontRequest request = {pixel_size, pixel_width, index == 0 ? asked.strike_size : 0, bitmap_budget,
                                     fills_a_missing_code, &wanted};
        SourceFont font;
        read_font(name, request, font);
        const SourceNumbering numbering = classify_font(font.registry, font.encoding, font.unicode_cmap);
        if (index == 0) {
            if (!asked.by_s) pixel_size = font.pixel_size;
            pixel_width = font.scalable ? font.pixel_width : 0;
            properties.pixel_size = pixel_size;
            properties.ascent = font.ascent;
            properties.descent = font.descent;
            cell = {font.pixel_width, font.ascent, font.descent};
            if (!numbering_given) output = natural_numbering(numbering);
        }
        const std::string refusal = font_refusal(name, font, numbering, pixel_size, asked.by_s);
        if (!refusal.empty()) fail(refusal);
        FontSummary& summary = summaries[index];
        summary = {name, {}, fits(options, font), {0, 0}, numbering.kind == SourceKind::jis0213_plane2};
        if (summary.fitted) summary.fit = fit_font(font, cell);
        summary.merged = merge_font(table, font, numbering, output, options.aliases);
        summary.merged.dropped += font.codeless;
        bitmap_budget -= font.bitmap_bytes;
        if (index == 0) {
            first = std::move(font);
            first.bitmaps = {};
            first.glyphs = {};
        }
    }
    if (table.empty()) fail(std::string("no glyph has a ") + (output == Numbering::jis ? "JIS" : "Unicode") + " code");
    choose_registry(table, first, output, properties);
    const CharsetKind charset = output == Numbering::jis ? JIS : UNICODE;
    const ImageCoverage coverage =
        image_coverage(drawn_codes(table, properties.ascent, properties.descent), charset);
    if (options.report_only) {
        report_coverage(stdout, "", coverage, summaries);
        write_standard_output_or_fail("", 0);
        return EXIT_SUCCESS;
    }

    // 3. Write the font; an earlier -o file is replaced only by a complete
    //    one. The summary follows, so that a failure prints its line alone.
    write_output(options.output_name, write_bdf(table, properties));
    if (!options.quiet) {
        for (std::size_t index = 0; index < font_count; ++index) report_font(summaries[index], index == 0, output);
        std::fprintf(stderr, "fontprep: %zu glyphs written, %d pixels (ascent %d, descent %d)\n", table.size(),
                     pixel_size, properties.ascent, properties.descent);
        report_coverage(stderr, "fontprep: ", coverage, summaries);
    }
    return EXIT_SUCCESS;
}
