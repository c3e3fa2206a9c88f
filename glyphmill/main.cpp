// glyphmill: writes the kanji ROM image "KANJIROM.66" from one BDF font.
#include <cstdlib>

#include "font_header.h"
#include "font_stream.h"
#include "kanji_rom.h"
#include "program.h"

namespace {

FontStream font;
EncodingSet kanji_encodings;
GlyphRecord glyphs;
KanjiImage image;

}  // namespace

int main(int argc, char** argv) {
    // 0. No file of ours may land on a closed standard stream, and a file
    // size limit makes writes fail instead of ending the run.
    start_converter();

    // 1. The font, "-" for standard input; further arguments are ignored.
    //    One reading validates it and notes where its kanji begin.
    if (argc < 2) fail("usage: glyphmill fontfile.bdf");
    const char* font_name = argv[1];
    add_kanji_encodings(kanji_encodings);
    const HeaderScan scan = open_and_scan_font(font, font_name, false, kanji_encodings, glyphs);

    // 2. Refuse a font that is not valid, and choose its column of the kanji table.
    if (scan.error != FontError::none) fail(font_error_message(scan, font_name));

    // 3. The pass fills the image from the glyphs the reading noted.
    collect_kanji_glyphs(font, scan.header, glyphs, kanji_code_map.code[scan.header.charset], image);
    if (font.read_failed) fail(std::string("cannot open ") + font_name);
    close_font_stream(font);

    // 4. Write the image; an earlier one is replaced only by a complete one.
    write_file_or_fail(kanji_rom_name, image.planes, sizeof image.planes);
    return EXIT_SUCCESS;
}
