// glyphmill's reading of a font: the header scan noting where the kanji
// begin, then, for a font it accepts, the kanji pass through the table
// column of the font's numbering. The font is read once as a file and once
// from a pipe, whose copy keeps only what the pass reads back: both
// readings must give the same image, error and read failure. When bit 1 of
// the input's last byte is set, comment lines after the font push it out of
// the stream's buffer, so that the pass reads the pipe's copy.
#include <cstring>

#include "font_header.h"
#include "fuzz_font.h"
#include "kanji_rom.h"

namespace {

FontStream stream;
GlyphRecord glyphs;

struct Outcome {
    KanjiImage image;
    FontError error;
    bool read_failed;
};
Outcome from_file;
Outcome from_pipe;

const EncodingSet& kanji_encodings() {
    static const EncodingSet encodings = [] {
        EncodingSet made{};
        add_kanji_encodings(made);
        return made;
    }();
    return encodings;
}

void run_pass(Outcome& outcome) {
    outcome.image = KanjiImage{};
    const HeaderScan scan = scan_font_header(stream, false, kanji_encodings(), glyphs);
    if (scan.error == FontError::none) {
        collect_kanji_glyphs(stream, scan.header, glyphs, kanji_code_map.code[scan.header.charset], outcome.image);
    }
    outcome.error = scan.error;
    outcome.read_failed = stream.read_failed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool followed = size > 0 && (data[size - 1] & 2);
    require(followed ? open_fuzz_font_followed_by_comments(stream, data, size) : open_fuzz_font(stream, data, size, 0));
    run_pass(from_file);
    close_font_stream(stream);
    if (!open_fuzz_font_on_pipe(stream, data, size, followed)) return 0;
    run_pass(from_pipe);
    close_font_stream(stream);
    require(std::memcmp(from_file.image.planes, from_pipe.image.planes, sizeof from_file.image.planes) == 0);
    require(from_file.error == from_pipe.error && from_file.read_failed == from_pipe.read_failed);
    return 0;
}
