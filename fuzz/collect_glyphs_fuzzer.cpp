// cellforge's glyph collection passes on one font, as a run with a single
// font makes them: the first character set with the extra symbols, then the
// second set with the composite cells; bit 0 of the input's last byte
// chooses ASCII mode. Rows below a cell's ten glyph rows must stay blank.
#include "cell_image.h"
#include "code_tables.h"
#include "collect_glyphs.h"
#include "fuzz_font.h"

namespace {

constexpr int cell_width = 8;
constexpr int cell_height = 10;

FontStream stream;
CellImage image;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool ascii_mode = size > 0 && (data[size - 1] & 1);
    require(open_fuzz_font(stream, data, size, 0));
    image = CellImage{};
    const HeaderScan first = collect_glyphs(stream, ascii_mode, set1_code_map, extra_symbol_map, nullptr,
                                            cell_width, cell_height, first_bank(image));
    if (first.error == FontError::none && !stream.read_failed) {
        rewind(stream);
        collect_glyphs(stream, false, set2_code_map, nullptr, composite_table, cell_width, cell_height,
                       second_bank(image));
    }
    for (const auto& cell : image.cells) {
        for (int row = cell_height; row < cell_bytes; ++row) require(cell[row] == 0);
    }
    close_font_stream(stream);
    return 0;
}
