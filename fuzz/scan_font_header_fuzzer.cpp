// The header scan on any bytes, with and without tolerance of an unknown
// registry. A scan that accepts the font must report usable metrics, leave
// the stream at its start, and agree with the other rule's scan.
#include "font_header.h"
#include "fuzz_font.h"

namespace {

FontStream stream;

bool same_header(const FontHeader& a, const FontHeader& b) {
    return a.font_width == b.font_width && a.font_ascent == b.font_ascent &&
           a.font_descent == b.font_descent && a.charset == b.charset;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    require(open_fuzz_font(stream, data, size, 0));
    const HeaderScan strict = scan_header(stream, false);
    // An unknown registry stops the strict scan where it stands.
    rewind(stream);
    const HeaderScan lenient = scan_header(stream, true);
    require(tell(stream) == 0);
    require(lenient.error != FontError::unknown_charset);
    if (lenient.error == FontError::none) {
        const FontHeader& header = lenient.header;
        require(header.font_ascent >= 0 && header.font_descent >= 0 && header.font_width >= 0);
        require(header.charset == JIS || header.charset == UNICODE);
    }
    if (strict.error == FontError::none) require(same_header(strict.header, lenient.header));
    close_font_stream(stream);
    return 0;
}
