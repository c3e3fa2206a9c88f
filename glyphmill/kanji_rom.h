// The kanji ROM image and the glyph pass that fills it.
#pragma once
#include <cstdint>

#include "font_header.h"
#include "font_stream.h"
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

// Reads the font once from its current position; every ENCODING line found
// in table fills its first slot, up to 1024 matched glyphs.
void collect_kanji_glyphs(FontStream& stream, const FontHeader& header, const std::int32_t* table,
                          KanjiImage& image);
