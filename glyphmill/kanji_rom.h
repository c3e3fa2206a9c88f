// The kanji ROM image and the glyph pass that fills it.
#pragma once
#include <cstdint>

#include "encoding_set.h"
#include "font_header.h"
#include "font_stream.h"
#include "glyph_record.h"
#include "kanji_table.h"
#include "rom_format.h"

// planes[0] holds cell columns 0..7 (bit 7 = column 0), planes[1] columns
// 8..15 (bit 7 = column 8); slot k's dot row ty is byte 16k + ty of each.
// The planes one after the other are the image file.
struct KanjiImage {
    std::uint8_t planes[kanji_plane_count][kanji_plane_size];
};

// The first slot whose entry equals encoding, or -1.
int find_kanji_slot(const std::int32_t* table, std::int32_t encoding);

// Every code of the kanji table, in either numbering: what the header scan
// records for the pass.
void add_kanji_encodings(EncodingSet& wanted);

// The pass as one reading of the font gives it: every ENCODING line in
// table fills its first slot, up to 1024 matched glyphs, and the lines a
// glyph is drawn from are not looked at again for ENCODING lines. The
// glyphs are those record holds, from the header scan of the font with
// add_kanji_encodings; where it is full the lines are read on from there.
void collect_kanji_glyphs(FontStream& stream, const FontHeader& header, const GlyphRecord& record,
                          const std::int32_t* table, KanjiImage& image);
