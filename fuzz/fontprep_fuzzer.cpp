// fontprep's reading, fitting and writing on any bytes: the input is read
// as a font through FreeType from memory (an outline font at 12 pixels,
// square or 8 across as for cellforge), its glyphs fitted to the cell,
// numbered both ways, told as the images would get them, and written as BDF
// to memory. Every fitted glyph must lie in the cell, and whatever FreeType
// accepts must come out as a font the converters' header scan accepts, in
// short lines and ascending encodings.
#include <cstring>
#include <string>

#include "bdf_writer.h"
#include "fitting.h"
#include "font_coverage.h"
#include "font_header.h"
#include "font_source.h"
#include "fuzz_font.h"
#include "merge.h"
#include "numbering.h"
#include "summary.h"

namespace {

FontStream stream;

// Every line shorter than 99 characters and the encodings strictly rising.
void check_lines(const std::string& text) {
    std::size_t start = 0;
    long long last_encoding = -1;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        require(end != std::string::npos && end - start < 99);
        if (text.compare(start, 9, "ENCODING ") == 0) {
            const long long encoding = std::stoll(text.substr(start + 9, end - start - 9));
            require(encoding > last_encoding);
            last_encoding = encoding;
        }
        start = end + 1;
    }
}

void check_written_font(const GlyphTable& table, const SourceFont& font, Numbering output) {
    BdfProperties properties = {font.pixel_size, font.ascent, font.descent, "", ""};
    copy_bdf_name(properties.registry, output == Numbering::jis ? "JISX0208.1990" : "ISO10646");
    copy_bdf_name(properties.encoding, output == Numbering::jis ? "0" : "1");
    const std::string text = write_bdf(table, properties);
    check_lines(text);
    require(open_fuzz_font(stream, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), 0));
    const HeaderScan scan = scan_header(stream, false);
    require(scan.error == FontError::none);
    require(scan.header.charset == (output == Numbering::jis ? JIS : UNICODE));
    close_font_stream(stream);
}

// Every glyph image left in the font lies in the cell, its rows whole.
void check_fitted(const SourceFont& font, const CellBox& cell) {
    for (const CodedGlyph& glyph : font.glyphs) {
        if (glyph.bitmap < 0) continue;
        const GlyphBitmap& bitmap = font.bitmaps[static_cast<std::size_t>(glyph.bitmap)];
        require(bitmap.x_offset >= 0 && bitmap.x_offset + bitmap.width <= cell.width);
        require(bitmap.y_offset >= -cell.descent && bitmap.y_offset + bitmap.height <= cell.ascent);
        require(bitmap.rows.size() == static_cast<std::size_t>((bitmap.width + 7) / 8) * bitmap.height);
    }
}

void check_coverage(const GlyphTable& table, const SourceFont& font, Numbering output) {
    const ImageCoverage coverage =
        image_coverage(drawn_codes(table, font.ascent, font.descent), output == Numbering::jis ? JIS : UNICODE);
    require(coverage.kanji_filled + static_cast<int>(coverage.kanji_missing.size()) == kanji_slot_count);
    require(coverage.first_set_filled <= bank_cell_count);
    require(static_cast<int>(coverage.second_set_missing.size()) <= coverage.second_set_fillable);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Outline fonts at a small size, so that one input stays quick.
    SourceFont font;
    const FontRequest request = {12, size % 2 == 0 ? 8 : 0, 0, max_bitmap_bytes, nullptr, nullptr};
    if (read_font_memory(data, size, request, font).error != SourceError::none) return 0;
    require(font.ascent >= 0 && font.descent >= 0);
    const std::size_t codes = font.glyphs.size();
    const CellBox cell = {font.pixel_width, font.ascent, font.descent};
    const FitCounts fit = fit_font(font, cell);
    require(font.glyphs.size() + static_cast<std::size_t>(fit.left_out) == codes);
    check_fitted(font, cell);
    const SourceNumbering numbering = classify_font(font.registry, font.encoding, font.unicode_cmap);
    if (numbering.kind == SourceKind::unknown) return 0;
    for (const Numbering output : {Numbering::jis, Numbering::unicode}) {
        GlyphTable table;
        const MergeCounts counts = merge_font(table, font, numbering, output, true);
        require(counts.taken + counts.dropped + counts.present == static_cast<int>(font.glyphs.size()));
        require(table.size() == static_cast<std::size_t>(counts.taken + counts.aliases));
        if (!table.empty()) check_written_font(table, font, output);
        check_coverage(table, font, output);
    }
    return 0;
}
