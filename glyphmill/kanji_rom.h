// The kanji ROM image and the glyph pass that fills it.
#pragma once
#include <cstdint>
#include <cstdio>

#include "font_header.h"
#include "font_stream.h"
#include "output_file.h"
#include "kanji_table.h"

constexpr int kanji_plane_size = kanji_slot_count * 16;

// Slot k's dot row ty is byte 16k + ty of each plane; left holds cell
// columns 0..7 (bit 7 = column 0), right columns 8..15 (bit 7 = column 8).
struct KanjiImage {
    std::uint8_t left[kanji_plane_size];
    std::uint8_t right[kanji_plane_size];
};

// The first slot whose entry equals encoding, or -1.
int find_kanji_slot(const std::int32_t* table, std::int32_t encoding);

// Reads the font once from its current position; every ENCODING line found
// in table fills its first slot, up to 1024 matched glyphs.
void collect_kanji_glyphs(FontStream& stream, const FontHeader& header, const std::int32_t* table,
                          KanjiImage& image);

// The left plane, then the right plane: 32768 bytes.
void write_kanji_rom(const KanjiImage& image, OutputFile& file);
