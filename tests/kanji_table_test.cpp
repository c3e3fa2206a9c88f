// Properties of the kanji ROM's slot table that the glyph pass relies on.
#include <gtest/gtest.h>

#include <iconv.h>

#include <set>

#include "kanji_table.h"

namespace {

constexpr int jis = 0;
constexpr int unicode = 1;

const std::int32_t* column(int kind) {
    return kanji_code_map.code[kind];
}

int distinct_count(int kind) {
    return static_cast<int>(std::set<std::int32_t>(column(kind), column(kind) + kanji_slot_count).size());
}

// The code point of a JIS X 0208 code through the C library's EUC-JP
// decoder, a second decoder beside the one that generated the table; 0
// when it does not decode.
std::int32_t decode_jis(iconv_t decoder, std::int32_t code) {
    char euc[2] = {static_cast<char>(code >> 8 | 0x80), static_cast<char>((code & 0xFF) | 0x80)};
    char32_t character = 0;
    char* in = euc;
    char* out = reinterpret_cast<char*>(&character);
    std::size_t in_left = sizeof euc;
    std::size_t out_left = sizeof character;
    if (iconv(decoder, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) || out_left != 0) return 0;
    return static_cast<std::int32_t>(character);
}

TEST(KanjiTable, EveryJisCodeIsALevelOneKanji) {
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        std::int32_t code = column(jis)[slot];
        EXPECT_TRUE(code >= 0x3021 && code <= 0x4F53 && (code & 0xFF) >= 0x21 && (code & 0xFF) <= 0x7E)
            << "slot " << slot << " holds 0x" << std::hex << code;
    }
}

// Each slot has a kanji of its own: the lookup stops at the first slot
// that holds a code, so a repeated code would leave a slot blank.
TEST(KanjiTable, JisColumnAscendsStrictly) {
    for (int slot = 1; slot < kanji_slot_count; ++slot)
        EXPECT_GT(column(jis)[slot], column(jis)[slot - 1]) << "slot " << slot << " out of order";
    EXPECT_EQ(distinct_count(jis), kanji_slot_count);
    EXPECT_EQ(distinct_count(unicode), kanji_slot_count);
}

TEST(KanjiTable, UnicodeColumnIsTheStandardMappingOfTheJisColumn) {
    const iconv_t decoder = iconv_open("UTF-32LE", "EUC-JP");
    if (decoder == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "the C library has no EUC-JP decoder";
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        EXPECT_EQ(column(unicode)[slot], decode_jis(decoder, column(jis)[slot]))
            << "slot " << slot << ", JIS 0x" << std::hex << column(jis)[slot];
    }
    iconv_close(decoder);
}

// Spot values, among them the five slots whose kanji a transcription once
// repeated from the slot before and the four look-alikes of the old Unicode
// column.
TEST(KanjiTable, SpotValues) {
    const struct {
        int slot;
        std::int32_t jis_code;
        std::int32_t unicode_code;
    } cases[] = {{0, 0x3026, 0x611B},   {82, 0x325F, 0x8CA8},   {334, 0x3A38, 0x5DE6},  {349, 0x3A5B, 0x88C1},
                 {427, 0x3C3A, 0x5931}, {472, 0x3D45, 0x91CD},  {542, 0x3F4B, 0x91DD},  {652, 0x4253, 0x5E2F},
                 {717, 0x4469, 0x5824}, {938, 0x4C4F, 0x6A21},  {1023, 0x4F43, 0x8A71}};
    for (const auto& spot : cases) {
        EXPECT_EQ(column(jis)[spot.slot], spot.jis_code) << "slot " << spot.slot;
        EXPECT_EQ(column(unicode)[spot.slot], spot.unicode_code) << "slot " << spot.slot;
    }
}

}  // namespace
