// cellforge's glyph collection passes on one font, as a run with a single
// font makes them: the first character set with the extra symbols, then the
// second set with the composite cells; bit 0 of the input's last byte
// chooses ASCII mode. Rows below a cell's ten glyph rows must stay blank.
#include "cell_image.h"
#include "collect_glyphs.h"
#include "fuzz_font.h"

namespace {

FontStream stream;
CellImage image;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool ascii_mode = size > 0 && (data[size - 1] & 1);
    require(open_fuzz_font(stream, data, size, 0));
    image = CellImage{};
    const HeaderScan first = scan_font_header(stream, ascii_mode);
    if (first.error == FontError::none) collect_glyphs(stream, first.header, first_set_tables(ascii_mode), first_bank(image));
    if (first.error == FontError::none && !stream.read_failed) {
        rewind(stream);
        const HeaderScan second = scan_font_header(stream, false);
        if (second.error == FontError::none) collect_glyphs(stream, second.header, second_set_tables(), second_bank(image));
    }
    for (const auto& cell : image.cells) {
        for (int row = cell_glyph_rows; row < cell_bytes; ++row) require(cell[row] == 0);
    }
    close_font_stream(stream);
    return 0;
}
