// glyphmill's reading of a font: the header scan, then, for a font it
// accepts, the kanji pass through the table column of the font's numbering.
#include "font_header.h"
#include "fuzz_font.h"
#include "kanji_rom.h"

namespace {

FontStream stream;
KanjiImage image;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    require(open_fuzz_font(stream, data, size, 0));
    const HeaderScan scan = scan_font_header(stream, false);
    if (scan.error == FontError::none) {
        image = KanjiImage{};
        collect_kanji_glyphs(stream, scan.header, kanji_code_map.code[scan.header.charset], image);
    }
    close_font_stream(stream);
    return 0;
}
