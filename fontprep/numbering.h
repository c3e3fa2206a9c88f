// How a font numbers its glyphs, and each glyph's code in the numbering of
// the font written: JIS X 0208 / JIS X 0213 row-cell codes or Unicode code
// points, through the generated character map.
#pragma once
#include <cstdint>

#include "jis_unicode_map.h"

enum class Numbering { jis, unicode };

enum class SourceKind { jis0208, jis0213_plane1, jis0213_plane2, unicode, code_page, unknown };

struct SourceNumbering {
    SourceKind kind;
    const CodePage* code_page;  // for SourceKind::code_page
};

// The numbering of a font by its CHARSET_REGISTRY and CHARSET_ENCODING, or
// Unicode when its glyphs come through a Unicode character map.
SourceNumbering classify_font(const char* registry, const char* encoding, bool unicode_cmap);

// The numbering a font's glyphs keep when it is the first font: JIS for
// JIS fonts, Unicode for every other.
Numbering natural_numbering(SourceNumbering numbering);

// A glyph's code in the written numbering, -1 when it has none. primary is
// false where a Unicode glyph reaches its JIS code as the variant of the
// code point the JIS X 0208 mapping gives.
struct OutputCode {
    std::int64_t code;
    bool primary;
};
OutputCode output_code(SourceNumbering numbering, std::int64_t code, Numbering output);

// Whether a JIS code lies in plane 1 of JIS X 0213 but outside JIS X 0208
// and the row 13 that JIS X 0208 fonts commonly fill.
bool is_jis0213_only(std::int64_t jis);
