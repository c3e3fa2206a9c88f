// cellforge: writes the character ROM images "CGROM60.66" and "CGROM66.66"
// from one or two BDF fonts.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cell_image.h"
#include "code_tables.h"
#include "collect_glyphs.h"
#include "font_stream.h"
#include "generated_cells.h"
#include "output_file.h"
#include "platform.h"

namespace {

const char* const usage = "usage: cellforge [-ascii] fontfile1.bdf [fontfile2.bdf]";
constexpr int cell_width = 8;
constexpr int cell_height = 10;

FontStream font_1;
FontStream font_2_own;
CellImage image;

[[noreturn]] void fail(const char* format, const char* text) {
    std::printf(format, text);
    std::exit(EXIT_FAILURE);
}

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
        if (std::strcmp(argv[next], "-ascii") != 0) fail("%s\n", usage);
        ascii_mode = true;
    }
    if (next >= argc) fail("%s\n", usage);
    if (next + 1 >= argc) return {argv[next], argv[next], &font_1};
    return {argv[next], argv[next + 1], &font_2_own};
}

void open_fonts(const Fonts& fonts) {
    if (!open_font_stream(font_1, fonts.name_1)) fail("cannot open %s\n", fonts.name_1);
    if (fonts.font_2 != &font_1 && !open_font_stream(*fonts.font_2, fonts.name_2)) {
        fail("cannot open %s\n", fonts.name_2);
    }
}

// One glyph pass from the start of the font; font errors end the run.
void run_pass(FontStream& font, const char* font_name, bool ascii_mode, const CodeMap& code_map,
              bool with_extras, bool with_composites, CellBank bank) {
    rewind(font);
    const HeaderScan scan = collect_glyphs(font, ascii_mode, code_map, with_extras ? extra_symbol_map : nullptr,
                                           with_composites ? composite_table : nullptr, cell_width,
                                           cell_height, bank);
    if (scan.error == FontError::illegal_bdf) fail("%s\n", "illegal bdf");
    if (scan.error == FontError::unknown_charset) fail("cannot convert for charset %s\n", scan.registry);
    if (scan.error == FontError::unreadable || font.read_failed) fail("cannot open %s\n", font_name);
}

void write_image(const char* name) {
    OutputFile file;
    if (!create_output_file(file, name)) fail("cannot open %s\n", name);
    write_output_bytes(file, &image.cells[0][0], sizeof image.cells);
    const OutputResult result = finish_output_file(file);
    if (result == OutputResult::cannot_open) fail("cannot open %s\n", name);
    if (result == OutputResult::cannot_write) fail("cannot write %s\n", name);
}

}  // namespace

int main(int argc, char** argv) {
    // 0. No file of ours may land on a closed standard stream, and a file
    // size limit makes writes fail instead of ending the run.
    open_missing_standard_streams();
    report_file_size_limit_as_write_error();

    // 1. Command line and fonts.
    bool ascii_mode;
    const Fonts fonts = parse_command_line(argc, argv, ascii_mode);
    open_fonts(fonts);

    // 2. "CGROM60.66": the first set from font 1 and the 2 x 3 mosaic.
    image = CellImage{};
    run_pass(font_1, fonts.name_1, ascii_mode, set1_code_map, true, false, first_bank(image));
    generate_mosaic_2x3(image);
    write_image("CGROM60.66");

    // 3. "CGROM66.66": both sets from font 2 and the generated cells.
    image = CellImage{};
    run_pass(*fonts.font_2, fonts.name_2, ascii_mode, set1_code_map, true, false, first_bank(image));
    run_pass(*fonts.font_2, fonts.name_2, false, set2_code_map, false, true, second_bank(image));
    generate_bars_and_shading(image);
    close_font_stream(*fonts.font_2);
    generate_mosaic_2x2_and_lower_blocks(image);
    fill_placeholders(image);
    write_image("CGROM66.66");
    return EXIT_SUCCESS;
}
