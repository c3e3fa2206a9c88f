// The encodings a glyph pass looks for, as one bit each, so that the glyphs
// no table names (most of a large font) are passed over without searching
// the tables. Encodings beyond the set's range always count as wanted and
// fall through to the search, which then decides.
#pragma once
#include <cstdint>

constexpr std::int32_t encoding_set_range = 0x20000;  // every table code lies below

struct EncodingSet {
    std::uint64_t bits[encoding_set_range / 64];
    bool any_beyond;  // a wanted code lies outside 0..range - 1
};

inline void add_encoding(EncodingSet& set, std::int32_t code) {
    if (code < 0 || code >= encoding_set_range) {
        set.any_beyond = true;
        return;
    }
    set.bits[code / 64] |= std::uint64_t{1} << (code % 64);
}

inline bool may_be_wanted(const EncodingSet& set, std::int32_t code) {
    if (code < 0 || code >= encoding_set_range) return set.any_beyond;
    return (set.bits[code / 64] >> (code % 64)) & 1;
}
