// The header scan: one read of the whole font that learns its ascent,
// descent, horizontal extent and numbering, validates it, and records where
// the glyphs the glyph passes want begin. Only the pieces that may begin a
// keyword are looked at, and plain keyword lines are read in place.
#pragma once
#include <cstdint>

#include "encoding_set.h"
#include "font_stream.h"
#include "glyph_record.h"
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
    bool unknown_registry;         // an unknown registry was tolerated
    char registry[line_capacity];  // the first unknown registry's token
};

// Reads the whole font, then rewinds it. An unknown registry is tolerated
// (and leaves the charset as it was) only when accept_unknown_charset
// holds; else the scan stops at it. Every ENCODING piece whose number is in
// wanted goes into record.
HeaderScan scan_font_header(FontStream& stream, bool accept_unknown_charset, const EncodingSet& wanted,
                            GlyphRecord& record);

// What the scan would have given had it not tolerated an unknown registry.
HeaderScan without_tolerance(const HeaderScan& scan);
