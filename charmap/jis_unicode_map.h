// JIS X 0208 / JIS X 0213 codes, Unicode code points and the 8-bit
// character sets of bitmap fonts, mapped onto one another. The tables are
// generated at build time from Python's standard decoders
// (tools/generate_charmap.py); the lookups here only search them.
#pragma once
#include <cstdint>

// A JIS plane: 94 rows of 94 cells, the row-cell code 0x2121 first.
constexpr int jis_plane_size = 94 * 94;

// Code point of each code of the plane, row-major; 0 where it has none.
extern const std::int32_t jis0208_unicode[jis_plane_size];
extern const std::int32_t jis0213_plane1_unicode[jis_plane_size];
extern const std::int32_t jis0213_plane2_unicode[jis_plane_size];

// The JIS code of a code point: its own, or the JIS X 0208 code of the other
// member of its variant pair (primary false).
struct UnicodeJis {
    std::int32_t unicode;
    std::int32_t jis;
    bool primary;
};
extern const int unicode_jis_count;
extern const UnicodeJis unicode_jis[];  // ascending by code point

// Two code points that fonts give one JIS X 0208 character, first < second.
struct VariantPair {
    std::int32_t first;
    std::int32_t second;
};
extern const int variant_pair_count;
extern const VariantPair variant_pairs[];

// An 8-bit character set by its lower-case registry-encoding name.
struct CodePage {
    const char* name;
    std::int32_t unicode[256];  // 0 where the byte has no character
};
extern const int code_page_count;
extern const CodePage code_pages[];

// The code point of a row-cell code in one of the planes above; 0 when
// the code lies outside the plane or has no code point.
std::int32_t plane_unicode(const std::int32_t* plane, std::int64_t jis);

// The JIS entry of a code point, null when it has no JIS code.
const UnicodeJis* find_unicode_jis(std::int64_t unicode);

// The character set of that name (compared ignoring case), null if unknown.
const CodePage* find_code_page(const char* name);
