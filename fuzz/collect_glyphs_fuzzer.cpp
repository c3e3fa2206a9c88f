// cellforge's glyph collection passes on one font, as a run with a single
// font makes them: one header scan noting the glyphs of both passes, the
// first character set with the extra symbols, then, under the stricter
// registry rule, the second set with the composite cells; bit 0 of the
// input's last byte chooses ASCII mode. Rows below a cell's ten glyph rows
// must stay blank.
#include "cell_image.h"
#include "collect_glyphs.h"
#include "fuzz_font.h"

namespace {

FontStream stream;
GlyphRecord glyphs;
CellImage image;

const EncodingSet& wanted_encodings(bool ascii_mode) {
    static const auto made = [](bool ascii) {
        EncodingSet wanted{};
        add_wanted_encodings(first_set_tables(ascii), wanted);
        add_wanted_encodings(second_set_tables(), wanted);
        return wanted;
    };
    static const EncodingSet by_table = made(false);
    static const EncodingSet by_encoding = made(true);
    return ascii_mode ? by_encoding : by_table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool ascii_mode = size > 0 && (data[size - 1] & 1);
    require(open_fuzz_font(stream, data, size, 0));
    image = CellImage{};
    const HeaderScan scan = scan_font_header(stream, ascii_mode, wanted_encodings(ascii_mode), glyphs);
    if (scan.error == FontError::none) collect_glyphs(stream, scan.header, glyphs, first_set_tables(ascii_mode), first_bank(image));
    if (scan.error == FontError::none && !stream.read_failed && without_tolerance(scan).error == FontError::none) {
        collect_glyphs(stream, scan.header, glyphs, second_set_tables(), second_bank(image));
    }
    for (const auto& cell : image.cells) {
        for (int row = cell_glyph_rows; row < cell_bytes; ++row) require(cell[row] == 0);
    }
    close_font_stream(stream);
    return 0;
}
