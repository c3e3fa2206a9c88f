// The kanji of the ROM's 1024 slots, by JIS X 0208 code and by Unicode
// code point (generated from kanji_table.txt).
#pragma once
#include <cstdint>

#include "rom_format.h"

// code[kind][slot], kind a CharsetKind (JIS first, Unicode second).
struct KanjiCodeMap {
    std::int32_t code[2][kanji_slot_count];
};

extern const KanjiCodeMap kanji_code_map;
