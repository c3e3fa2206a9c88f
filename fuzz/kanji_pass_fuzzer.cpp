// glyphmill's reading of a font: the header scan noting where the kanji
// begin, then, for a font it accepts, the kanji pass through the table
// column of the font's numbering.
#include "font_header.h"
#include "fuzz_font.h"
#include "kanji_rom.h"

namespace {

FontStream stream;
GlyphRecord glyphs;
KanjiImage image;

const EncodingSet& kanji_encodings() {
    static const EncodingSet encodings = [] {
        EncodingSet made{};
        add_kanji_encodings(made);
        return made;
    }();
    return encodings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    require(open_fuzz_font(stream, data, size, 0));
    const HeaderScan scan = scan_font_header(stream, false, kanji_encodings(), glyphs);
    if (scan.error == FontError::none) {
        image = KanjiImage{};
        collect_kanji_glyphs(stream, scan.header, glyphs, kanji_code_map.code[scan.header.charset], image);
    }
    close_font_stream(stream);
    return 0;
}
