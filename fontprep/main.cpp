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
#include "font_choice.h"
#include "font_source.h"
#include "merge.h"
#include "numbering.h"
#include "platform.h"
#include "program.h"

namespace {

const char* const usage = "usage: fontprep [-s PIXELS] [-n jis|unicode] [--no-aliases] [--quiet] [-o FILE] FONT...";
const char* const help_text =
    "usage: fontprep [-s PIXELS] [-n jis|unicode] [--no-aliases] [--quiet] [-o FILE] FONT...\n"
    "       fontprep --help | --version\n"
    "Writes one BDF font for glyphmill and cellforge made from the fonts given:\n"
    "the first font's glyphs, then from each later font the codes still missing.\n"
    "Reads BDF, PCF (either gzip-compressed), Windows .fon/.fnt, TrueType and\n"
    "OpenType; a font named - is read from standard input.\n"
    "  -s PIXELS      pixel size of the font written, 1 to 256; outline fonts are\n"
    "                 rendered at it, bitmap fonts must have it (default: the\n"
    "                 first font's; 16 when the first is an outline font)\n"
    "  -n NUMBERING   number the glyphs by jis or unicode (default: as the first font)\n"
    "  -o FILE        write the font to FILE instead of standard output (- for\n"
    "                 standard output)\n"
    "  --no-aliases   do not copy a glyph to the other code point of a variant pair\n"
    "  --quiet        print no summary on standard error\n"
    "  --             every argument after it names a font, even one starting with -\n"
    "  --help         print this help\n"
    "  --version      print the version\n";

struct Options {
    std::vector<const char*> font_names;
    const char* output_name;  // nullptr: standard output
    const char* size_text;    // nullptr: no -s
    const char* numbering_text;
    bool aliases;
    bool quiet;
    bool help;
    bool version;
};

// A font too large for memory ends the run with one line, like any other
// font that cannot be read.
[[noreturn]] void report_out_of_memory() {
    fail("out of memory");
}

// False on an unknown option, an option without its value or no font.
bool parse_command_line(int argc, char** argv, Options& options) {
    options = {{}, nullptr, nullptr, nullptr, true, false, false, false};
    bool known = true;
    bool only_fonts = false;  // after "--" every argument names a font
    for (int next = 1; next < argc; ++next) {
        const std::string_view argument = argv[next];
        const bool has_value = next + 1 < argc;
        if (only_fonts) options.font_names.push_back(argv[next]);
        else if (argument == "--") only_fonts = true;
        else if (argument == "--no-aliases") options.aliases = false;
        else if (argument == "--quiet") options.quiet = true;
        else if (argument == "--help") options.help = true;
        else if (argument == "--version") options.version = true;
        else if (argument == "-o" && has_value) options.output_name = argv[++next];
        else if (argument == "-s" && has_value) options.size_text = argv[++next];
        else if (argument == "-n" && has_value) options.numbering_text = argv[++next];
        else if (argument.starts_with('-') && argument != "-") known = false;
        else options.font_names.push_back(argv[next]);
    }
    // "-o -" is standard output, as a font named "-" is standard input.
    if (options.output_name != nullptr && std::strcmp(options.output_name, "-") == 0) options.output_name = nullptr;
    return known && !options.font_names.empty();
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

void report_counts(const char* name, int index, const MergeCounts& counts, Numbering output) {
    const char* numbering = output == Numbering::jis ? "JIS" : "Unicode";
    if (index == 0) {
        std::fprintf(stderr, "fontprep: %s: %d glyphs taken, %d aliases added, %d dropped (no %s code)\n", name,
                     counts.taken, counts.aliases, counts.dropped, numbering);
    } else {
        std::fprintf(stderr,
                     "fontprep: %s: %d codes filled, %d aliases added, %d dropped (no %s code), "
                     "%d already present\n",
                     name, counts.taken, counts.aliases, counts.dropped, numbering, counts.present);
    }
}

// The font's bytes as written to a file, on standard output too.
void write_output(const char* output_name, const std::string& text) {
    if (output_name == nullptr) {
        use_binary_standard_output();
        write_standard_output_or_fail(text.data(), text.size());
    } else {
        write_file_or_fail(output_name, text.data(), text.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // 1. The command line; --help and --version answer alone.
    start_companion("fontprep");
    std::set_new_handler(report_out_of_memory);
    Options options;
    const bool parsed = parse_command_line(argc, argv, options);
    if (options.help || options.version) {
        const char* answer = options.help ? help_text : "fontprep " TOOLKIT_VERSION "\n";
        write_standard_output_or_fail(answer, std::strlen(answer));
        return EXIT_SUCCESS;
    }
    if (!parsed) {
        std::fprintf(stderr, "%s\n", usage);
        return EXIT_FAILURE;
    }
    int pixel_size = options.size_text != nullptr ? parse_size(options.size_text) : 0;
    bool numbering_given = options.numbering_text != nullptr;
    Numbering output = Numbering::unicode;
    if (numbering_given) {
        const std::string_view text = options.numbering_text;
        if (text != "jis" && text != "unicode") fail("bad numbering " + std::string(text) + ": give jis or unicode");
        output = text == "jis" ? Numbering::jis : Numbering::unicode;
    }

    refuse_writing_over_a_font(options);

    // 2. Read the fonts in turn. The first sets the pixel size, the ascent
    //    and descent and, unless -n says otherwise, the numbering; every
    //    later bitmap font must have that pixel size and only fills what is
    //    missing. Only the glyphs that fill a missing code are copied, and
    //    each font goes once merged: the table holds its own copies, within
    //    max_bitmap_bytes for all fonts together.
    const std::size_t font_count = options.font_names.size();
    std::vector<MergeCounts> counts(font_count);
    GlyphTable table;
    SourceFont first{};  // the first font's properties, without its glyphs
    std::size_t bitmap_budget = max_bitmap_bytes;
    BdfProperties properties = {0, 0, 0, "", ""};
    for (std::size_t index = 0; index < font_count; ++index) {
        const char* name = options.font_names[index];
        GlyphsWanted wanted = {&table, numbering_given || index > 0, output, false, {SourceKind::unknown, nullptr}};
        const FontRequest request = {pixel_size, bitmap_budget, fills_a_missing_code, &wanted};
        SourceFont font;
        read_font(name, request, font);
        const SourceNumbering numbering = classify_font(font.registry, font.encoding, font.unicode_cmap);
        if (index == 0) {
            if (pixel_size == 0) pixel_size = font.pixel_size;
            properties.pixel_size = pixel_size;
            properties.ascent = font.ascent;
            properties.descent = font.descent;
            if (!numbering_given) output = natural_numbering(numbering);
        }
        const std::string refusal = font_refusal(name, font, numbering, pixel_size, options.size_text != nullptr);
        if (!refusal.empty()) fail(refusal);
        counts[index] = merge_font(table, font, numbering, output, options.aliases);
        counts[index].dropped += font.codeless;
        bitmap_budget -= font.bitmap_bytes;
        if (index == 0) {
            first = std::move(font);
            first.bitmaps = {};
            first.glyphs = {};
        }
    }
    if (table.empty()) fail(std::string("no glyph has a ") + (output == Numbering::jis ? "JIS" : "Unicode") + " code");
    choose_registry(table, first, output, properties);

    // 3. Write the font; an earlier -o file is replaced only by a complete
    //    one. The summary follows, so that a failure prints its line alone.
    write_output(options.output_name, write_bdf(table, properties));
    if (!options.quiet) {
        for (std::size_t index = 0; index < font_count; ++index) {
            report_counts(options.font_names[index], static_cast<int>(index), counts[index], output);
        }
        std::fprintf(stderr, "fontprep: %zu glyphs written, %d pixels (ascent %d, descent %d)\n", table.size(),
                     pixel_size, properties.ascent, properties.descent);
    }
    return EXIT_SUCCESS;
}
