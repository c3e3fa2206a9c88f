// glyphmill: writes the kanji ROM image "KANJIROM.66" from one BDF font.
#include <cstdio>
#include <cstdlib>

#include "font_header.h"
#include "font_stream.h"
#include "output_file.h"
#include "platform.h"
#include "kanji_rom.h"

namespace {

const char* const image_name = "KANJIROM.66";

FontStream font;
KanjiImage image;

[[noreturn]] void fail(const char* format, const char* text) {
    std::printf(format, text);
    std::exit(EXIT_FAILURE);
}

void report_font_error(const HeaderScan& scan, const char* font_name) {
    switch (scan.error) {
    case FontError::none: return;
    case FontError::illegal_bdf: fail("%s\n", "illegal bdf");
    case FontError::unknown_charset: fail("cannot convert for charset %s\n", scan.registry);
    case FontError::unreadable: fail("cannot open %s\n", font_name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // 0. No file of ours may land on a closed standard stream, and a file
    // size limit makes writes fail instead of ending the run.
    open_missing_standard_streams();
    report_file_size_limit_as_write_error();

    // 1. The font, "-" for standard input; further arguments are ignored.
    if (argc < 2) fail("%s\n", "usage: glyphmill fontfile.bdf");
    const char* font_name = argv[1];
    if (!open_font_stream(font, font_name)) fail("cannot open %s\n", font_name);

    // 2. Validate the font and choose its column of the kanji table.
    const HeaderScan scan = scan_font_header(font, false);
    report_font_error(scan, font_name);
    const std::int32_t* table = kanji_code_map.code[scan.header.charset];

    // 3. One pass over the font fills the image.
    collect_kanji_glyphs(font, scan.header, table, image);
    if (font.read_failed) fail("cannot open %s\n", font_name);
    close_font_stream(font);

    // 4. Write the image; an earlier one is replaced only by a complete one.
    OutputFile file;
    if (!create_output_file(file, image_name)) fail("cannot open %s\n", image_name);
    write_kanji_rom(image, file);
    switch (finish_output_file(file)) {
    case OutputResult::written: return EXIT_SUCCESS;
    case OutputResult::cannot_open: fail("cannot open %s\n", image_name);
    case OutputResult::cannot_write: fail("cannot write %s\n", image_name);
    }
    return EXIT_FAILURE;
}
