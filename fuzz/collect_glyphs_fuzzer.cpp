// cellforge's glyph collection passes on one font, as a run with a single
// font makes them: one header scan noting the glyphs of both passes, the
// first character set with the extra symbols, then, under the stricter
// registry rule, the second set with the composite cells; bit 0 of the
// input's last byte chooses ASCII mode. Rows below a cell's ten glyph rows
// must stay blank. The font is read once as a file and once from a pipe,
// whose copy keeps only what the passes read back: both readings must give
// the same image, error and read failure. When bit 1 is set, comment lines
// after the font push it out of the stream's buffer, so that the passes
// read the pipe's copy.
#include <cstring>

#include "cell_image.h"
#include "collect_glyphs.h"
#include "fuzz_font.h"

namespace {

FontStream stream;
GlyphRecord glyphs;

struct Outcome {
    CellImage image;
    FontError error;
    bool read_failed;
};
Outcome from_file;
Outcome from_pipe;

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

// Both passes on the opened font.
void run_passes(bool ascii_mode, Outcome& outcome) {
    outcome.image = CellImage{};
    const HeaderScan scan = scan_font_header(stream, ascii_mode, wanted_encodings(ascii_mode), glyphs);
    if (scan.error == FontError::none) {
        collect_glyphs(stream, scan.header, glyphs, first_set_tables(ascii_mode), first_bank(outcome.image));
    }
    if (scan.error == FontError::none && !stream.read_failed && without_tolerance(scan).error == FontError::none) {
        collect_glyphs(stream, scan.header, glyphs, second_set_tables(), second_bank(outcome.image));
    }
    outcome.error = scan.error;
    outcome.read_failed = stream.read_failed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool ascii_mode = size > 0 && (data[size - 1] & 1);
    const bool followed = size > 0 && (data[size - 1] & 2);
    require(followed ? open_fuzz_font_followed_by_comments(stream, data, size) : open_fuzz_font(stream, data, size, 0));
    run_passes(ascii_mode, from_file);
    close_font_stream(stream);
    for (const auto& cell : from_file.image.cells) {
        for (int row = cell_glyph_rows; row < cell_bytes; ++row) require(cell[row] == 0);
    }
    if (!open_fuzz_font_on_pipe(stream, data, size, followed)) return 0;
    run_passes(ascii_mode, from_pipe);
    close_font_stream(stream);
    require(std::memcmp(from_file.image.cells, from_pipe.image.cells, sizeof from_file.image.cells) == 0);
    require(from_file.error == from_pipe.error && from_file.read_failed == from_pipe.read_failed);
    return 0;
}
