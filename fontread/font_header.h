// The header scan: one read of the whole font that learns its ascent,
// descent, horizontal extent and numbering, and validates it.
#pragma once
#include <cstdint>

#include "font_stream.h"
#include "rom_format.h"

struct FontHeader {
    std::int32_t font_width;    // largest minus smallest BBX width or x-offset
    std::int32_t font_ascent;   // last FONT_ASCENT, -1 when none
    std::int32_t font_descent;  // last FONT_DESCENT, -1 when none
    CharsetKind charset;
};

// Font height used for scaling and centring; 64-bit so that two huge
// properties cannot overflow.
inline std::int64_t font_height(const FontHeader& header) {
    return std::int64_t{header.font_ascent} + header.font_descent;
}

enum class FontError {
    none,
    illegal_bdf,      // ascent, descent, width or registry missing or invalid
    unknown_charset,  // a CHARSET_REGISTRY that is neither JIS nor ISO 10646
    unreadable,       // the stream failed while being read
};

struct HeaderScan {
    FontHeader header;
    FontError error;
    char registry[line_capacity];  // the offending token for unknown_charset
};

// Reads the whole font, then rewinds it. An unknown registry is tolerated
// (and leaves the charset as it was) only when accept_unknown_charset holds.
HeaderScan scan_font_header(FontStream& stream, bool accept_unknown_charset);
