#include "options.h"

#include <cstring>
#include <string_view>

const char* const fontprep_usage =
    "usage: fontprep [--for glyphmill|cellforge] [-s PIXELS] [-n jis|unicode] [--fit|--no-fit] [--no-aliases] "
    "[--quiet] [--report] [-o FILE] FONT...";
const char* const fontprep_help =
    "usage: fontprep [--for glyphmill|cellforge] [-s PIXELS] [-n jis|unicode]\n"
    "                [--fit|--no-fit] [--no-aliases] [--quiet] [--report]\n"
    "                [-o FILE] FONT...\n"
    "       fontprep --help | --version\n"
    "Writes one BDF font for glyphmill and cellforge made from the fonts given:\n"
    "the first font's glyphs, then from each later font the codes still missing.\n"
    "Reads BDF, PCF (either gzip-compressed), Windows .fon/.fnt, TrueType and\n"
    "OpenType; a font named - is read from standard input. Outline fonts are\n"
    "fitted to the cell; bitmap fonts are taken dot for dot.\n"
    "  --for TOOL     render outline fonts at the size and shape that suit the\n"
    "                 images of glyphmill (16 x 16) or cellforge (8 x 10)\n"
    "  -s PIXELS      pixel size of the font written, 1 to 256; outline fonts are\n"
    "                 rendered at it, bitmap fonts must have it (default: the\n"
    "                 first font's; 16 when the first is an outline font)\n"
    "  -n NUMBERING   number the glyphs by jis or unicode (default: as the first font)\n"
    "  --fit          fit the glyphs of bitmap fonts to the cell too\n"
    "  --no-fit       fit no glyph: keep outline fonts' glyphs as rendered\n"
    "  -o FILE        write the font to FILE instead of standard output (- for\n"
    "                 standard output, which may not be a terminal)\n"
    "  --no-aliases   do not copy a glyph to the other code point of a variant pair\n"
    "  --report       print only what each image would get; write no font\n"
    "  --quiet        print no summary on standard error\n"
    "  --             every argument after it names a font, even one starting with -\n"
    "  --help         print this help\n"
    "  --version      print the version\n";

namespace {

// Measured on the outline fonts Debian ships (the README's table of fonts):
// at 16 x 16 the kanji of every one keep their strokes; for the 8 x 10
// character cells an em 8 dots across and 10 high gives glyphs cellforge
// need not squeeze, clearer than any square size, and a font drawn dot for
// dot at 8 pixels (misaki's bitmap strike) is best taken as drawn.
constexpr ImageTarget image_targets[] = {
    {"glyphmill", 16, 16, 16},
    {"cellforge", 10, 8, 8},
};

}  // namespace

bool parse_command_line(int argc, char** argv, Options& options) {
    options = {{}, nullptr, nullptr, nullptr, nullptr, Fitting::outline_fonts, true, false, false, false, false};
    bool known = true;
    bool only_fonts = false;  // after "--" every argument names a font
    for (int next = 1; next < argc; ++next) {
        const std::string_view argument = argv[next];
        const bool has_value = next + 1 < argc;
        if (only_fonts) options.font_names.push_back(argv[next]);
        else if (argument == "--") only_fonts = true;
        else if (argument == "--no-aliases") options.aliases = false;
        else if (argument == "--fit") options.fitting = Fitting::every_font;
        else if (argument == "--no-fit") options.fitting = Fitting::no_font;
        else if (argument == "--report") options.report_only = true;
        else if (argument == "--quiet") options.quiet = true;
        else if (argument == "--help") options.help = true;
        else if (argument == "--version") options.version = true;
        else if (argument == "-o" && has_value) options.output_name = argv[++next];
        else if (argument == "-s" && has_value) options.size_text = argv[++next];
        else if (argument == "-n" && has_value) options.numbering_text = argv[++next];
        else if (argument == "--for" && has_value) options.target_text = argv[++next];
        else if (argument.starts_with('-') && argument != "-") known = false;
        else options.font_names.push_back(argv[next]);
    }
    if (options.output_name != nullptr && std::strcmp(options.output_name, "-") == 0) options.output_name = nullptr;
    return known && !options.font_names.empty();
}

const ImageTarget* find_image_target(const char* tool) {
    for (const ImageTarget& target : image_targets) {
        if (std::strcmp(target.tool, tool) == 0) return &target;
    }
    return nullptr;
}
