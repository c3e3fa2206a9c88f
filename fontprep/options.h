// fontprep's command line, and the image each --for names with the size
// and shape outline fonts are rendered at for it.
#pragma once
#include <vector>

extern const char* const fontprep_usage;
extern const char* const fontprep_help;

// Which fonts' glyphs are fitted to the cell (fitting.h): by default those
// rendered from outlines; --fit every font's, --no-fit none; the last wins.
enum class Fitting { outline_fonts, every_font, no_font };

struct Options {
    std::vector<const char*> font_names;
    const char* output_name;     // nullptr: standard output
    const char* size_text;       // nullptr: no -s
    const char* numbering_text;  // nullptr: no -n
    const char* target_text;     // nullptr: no --for
    Fitting fitting;
    bool aliases;
    bool report_only;            // --report
    bool quiet;
    bool help;
    bool version;
};

// False on an unknown option, an option without its value or no font.
// "-o -" is standard output.
bool parse_command_line(int argc, char** argv, Options& options);

// The cells of one converter's images and the size outline fonts give them
// best (see the README's table of fonts for the measurements).
struct ImageTarget {
    const char* tool;
    int pixel_size;   // rows of the em, the font's ascent plus descent
    int pixel_width;  // columns of the em
    int strike_size;  // an outline font with a bitmap strike of this size is read at it
};

// The target --for names; nullptr for a name of no converter.
const ImageTarget* find_image_target(const char* tool);
