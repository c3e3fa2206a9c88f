// cellforge: writes the character ROM images "CGROM60.66" and "CGROM66.66"
// from one or two BDF fonts.
#include <cstdlib>
#include <cstring>

#include "cell_image.h"
#include "collect_glyphs.h"
#include "font_stream.h"
#include "generated_cells.h"
#include "program.h"

namespace {

const char* const usage = "usage: cellforge [-ascii] fontfile1.bdf [fontfile2.bdf]";

FontStream font_1;
FontStream font_2_own;
CellImage image;

struct Fonts {
    const char* name_1;
    const char* name_2;
    FontStream* font_2;  // font_1 itself when one font is given
};

// Options first, then font 1 and the optional font 2; the rest is ignored.
Fonts parse_command_line(int argc, char** argv, bool& ascii_mode) {
    int next = 1;
    ascii_mode = false;
    for (; next < argc && argv[next][0] == '-'; ++next) {
        if (std::strcmp(argv[next], "-ascii") != 0) fail(usage);
        ascii_mode = true;
    }
    if (next >= argc) fail(usage);
    if (next + 1 >= argc) return {argv[next], argv[next], &font_1};
    return {argv[next], argv[next + 1], &font_2_own};
}

void open_fonts(const Fonts& fonts) {
    if (!open_font_stream(font_1, fonts.name_1)) fail(std::string("cannot open ") + fonts.name_1);
    if (fonts.font_2 != &font_1 && !open_font_stream(*fonts.font_2, fonts.name_2)) {
        fail(std::string("cannot open ") + fonts.name_2);
    }
}

// The header scan from the start of the font; an unknown registry is
// tolerated where accept_unknown_charset holds. Font errors end the run.
FontHeader scan_font(FontStream& font, const char* font_name, bool accept_unknown_charset) {
    rewind(font);
    const HeaderScan scan = scan_font_header(font, accept_unknown_charset);
    if (scan.error != FontError::none) fail(font_error_message(scan, font_name));
    return scan.header;
}

// One glyph pass over the font the header scan just rewound.
void run_pass(FontStream& font, const char* font_name, const FontHeader& header, const PassTables& tables,
              CellBank bank) {
    collect_glyphs(font, header, tables, bank);
    if (font.read_failed) fail(std::string("cannot open ") + font_name);
}

}  // namespace

int main(int argc, char** argv) {
    // 0. No file of ours may land on a closed standard stream, and a file
    // size limit makes writes fail instead of ending the run.
    start_converter();

    // 1. Command line and fonts.
    bool ascii_mode;
    const Fonts fonts = parse_command_line(argc, argv, ascii_mode);
    open_fonts(fonts);

    // 2. "CGROM60.66": the first set from font 1 and the 2 x 3 mosaic.
    //    Errors in font 2 appear only once it is written.
    image = CellImage{};
    const FontHeader header_1 = scan_font(font_1, fonts.name_1, ascii_mode);
    run_pass(font_1, fonts.name_1, header_1, first_set_tables(ascii_mode), first_bank(image));
    generate_mosaic_2x3(image);
    write_file_or_fail(character_rom_60_name, image.cells, sizeof image.cells);

    // 3. "CGROM66.66": both sets from font 2 and the generated cells. The
    //    second set's pass never tolerates an unknown registry.
    image = CellImage{};
    FontStream& font_2 = *fonts.font_2;
    const FontHeader header_2 = scan_font(font_2, fonts.name_2, ascii_mode);
    run_pass(font_2, fonts.name_2, header_2, first_set_tables(ascii_mode), first_bank(image));
    const FontHeader header_2_strict = scan_font(font_2, fonts.name_2, false);
    run_pass(font_2, fonts.name_2, header_2_strict, second_set_tables(), second_bank(image));
    generate_bars_and_shading(image);
    close_font_stream(font_2);
    generate_mosaic_2x2_and_lower_blocks(image);
    fill_placeholders(image);
    write_file_or_fail(character_rom_66_name, image.cells, sizeof image.cells);
    return EXIT_SUCCESS;
}
