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

// A font, the one reading of it, and where the glyphs its passes want begin.
struct ReadFont {
    const char* name;
    FontStream stream;
    HeaderScan scan;
    GlyphRecord glyphs;
};

ReadFont font_1;
ReadFont font_2_own;
EncodingSet wanted_encodings;
CellImage image;

// Options first, then font 1 and the optional font 2 (font 1 itself when
// only one is given); the rest is ignored.
ReadFont& parse_command_line(int argc, char** argv, bool& ascii_mode) {
    int next = 1;
    ascii_mode = false;
    for (; next < argc && argv[next][0] == '-'; ++next) {
        if (std::strcmp(argv[next], "-ascii") != 0) fail(usage);
        ascii_mode = true;
    }
    if (next >= argc) fail(usage);
    font_1.name = argv[next];
    if (next + 1 >= argc) return font_1;
    font_2_own.name = argv[next + 1];
    return font_2_own;
}

// Opens each font and reads it once, validating it and noting where the
// glyphs of both passes begin; an unknown registry is tolerated and noted
// in -ascii mode. A font that cannot be opened ends the run at once; other
// font errors are reported where each font is first used.
void open_and_scan(ReadFont& font_2, bool ascii_mode) {
    add_wanted_encodings(first_set_tables(ascii_mode), wanted_encodings);
    add_wanted_encodings(second_set_tables(), wanted_encodings);
    font_1.scan = open_and_scan_font(font_1.stream, font_1.name, ascii_mode, wanted_encodings, font_1.glyphs);
    if (&font_2 == &font_1) return;
    font_2.scan = open_and_scan_font(font_2.stream, font_2.name, ascii_mode, wanted_encodings, font_2.glyphs);
}

void fail_on_font_error(const HeaderScan& scan, const char* font_name) {
    if (scan.error != FontError::none) fail(font_error_message(scan, font_name));
}

// One glyph pass over the font, from the glyphs its reading noted.
void run_pass(ReadFont& font, const PassTables& tables, CellBank bank) {
    collect_glyphs(font.stream, font.scan.header, font.glyphs, tables, bank);
    if (font.stream.read_failed) fail(std::string("cannot open ") + font.name);
}

}  // namespace

int main(int argc, char** argv) {
    // 0. No file of ours may land on a closed standard stream, and a file
    // size limit makes writes fail instead of ending the run.
    start_converter();

    // 1. Command line and fonts, each read once.
    bool ascii_mode;
    ReadFont& font_2 = parse_command_line(argc, argv, ascii_mode);
    open_and_scan(font_2, ascii_mode);

    // 2. "CGROM60.66": the first set from font 1 and the 2 x 3 mosaic.
    //    Errors in font 2 appear only once it is written.
    image = CellImage{};
    fail_on_font_error(font_1.scan, font_1.name);
    run_pass(font_1, first_set_tables(ascii_mode), first_bank(image));
    generate_mosaic_2x3(image);
    write_file_or_fail(character_rom_60_name, image.cells, sizeof image.cells);

    // 3. "CGROM66.66": both sets from font 2 and the generated cells. The
    //    second set's pass never tolerates an unknown registry.
    image = CellImage{};
    fail_on_font_error(font_2.scan, font_2.name);
    run_pass(font_2, first_set_tables(ascii_mode), first_bank(image));
    fail_on_font_error(without_tolerance(font_2.scan), font_2.name);
    run_pass(font_2, second_set_tables(), second_bank(image));
    generate_bars_and_shading(image);
    close_font_stream(font_2.stream);
    generate_mosaic_2x2_and_lower_blocks(image);
    fill_placeholders(image);
    write_file_or_fail(character_rom_66_name, image.cells, sizeof image.cells);
    return EXIT_SUCCESS;
}
