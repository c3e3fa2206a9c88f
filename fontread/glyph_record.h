// Where the glyphs some table wants begin, noted by the header scan so that
// a glyph pass goes straight to them instead of reading every line again.
//
// An entry is an ENCODING piece whose number the pass's tables may name,
// in font order, and the position just after it, where the glyph's own
// lines begin. A font with more such pieces than the record holds is
// recorded up to there; a pass then reads the lines on from the first piece
// left out.
#pragma once
#include <cstdint>

#include "encoding_set.h"

constexpr int glyph_record_capacity = 8192;

struct GlyphRecord {
    int count;
    std::int32_t encoding[glyph_record_capacity];
    std::int64_t glyph_start[glyph_record_capacity];  // just after the ENCODING piece
    bool full;                  // some wanted ENCODING pieces were left out
    std::int64_t unrecorded;    // where the first of them begins, when full
};

inline void record_glyph(GlyphRecord& record, std::int32_t encoding, std::int64_t piece_start,
                         std::int64_t glyph_start) {
    if (record.count == glyph_record_capacity) {
        if (!record.full) record.unrecorded = piece_start;
        record.full = true;
        return;
    }
    record.encoding[record.count] = encoding;
    record.glyph_start[record.count] = glyph_start;
    ++record.count;
}
