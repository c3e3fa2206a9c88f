// Properties of the kanji ROM's slot table that the glyph pass relies on.
#include <gtest/gtest.h>

#include <set>

#include "kanji_table.h"

namespace {

constexpr int jis = 0;
constexpr int unicode = 1;

const std::int32_t* column(int kind) {
    return kanji_code_map.code[kind];
}

int first_slot_of(int kind, std::int32_t code) {
    for (int slot = 0; slot < kanji_slot_count; ++slot)
        if (column(kind)[slot] == code) return slot;
    return -1;
}

int distinct_count(int kind) {
    return static_cast<int>(std::set<std::int32_t>(column(kind), column(kind) + kanji_slot_count).size());
}

TEST(KanjiTable, EveryJisCodeIsALevelOneKanji) {
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        std::int32_t code = column(jis)[slot];
        EXPECT_TRUE(code >= 0x3026 && code <= 0x4F43 && (code & 0xFF) >= 0x21 && (code & 0xFF) <= 0x7E)
            << "slot " << slot << " holds 0x" << std::hex << code;
    }
}

// A code held twice: the lookup stops at the first slot, so the second
// stays blank in the image.
struct RepeatCase {
    int kind;
    std::int32_t code;
    int first_slot;
    int second_slot;
};

TEST(KanjiTable, RepeatedCodesSitAtTheirTwoSlots) {
    const RepeatCase cases[] = {
        {jis, 0x3A34, 333, 334},   {jis, 0x3C37, 426, 427},   {jis, 0x3D49, 472, 473},
        {jis, 0x3F48, 540, 542},   {jis, 0x4250, 651, 652},   {unicode, 0x8CB8, 82, 655},
    };
    for (const RepeatCase& repeat : cases) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << repeat.code);
        EXPECT_EQ(first_slot_of(repeat.kind, repeat.code), repeat.first_slot);
        EXPECT_EQ(column(repeat.kind)[repeat.second_slot], repeat.code);
    }
    EXPECT_EQ(distinct_count(jis), 1019) << "a code repeated or lost in the JIS column";
    EXPECT_EQ(distinct_count(unicode), 1023) << "a code repeated or lost in the Unicode column";
}

TEST(KanjiTable, JisColumnAscendsExceptRepeatsAndOneStepDown) {
    for (int slot = 1; slot < kanji_slot_count; ++slot) {
        std::int32_t previous = column(jis)[slot - 1];
        std::int32_t code = column(jis)[slot];
        bool repeat = slot == 334 || slot == 427 || slot == 473 || slot == 652;
        if (repeat)
            EXPECT_EQ(code, previous) << "slot " << slot;
        else if (slot == 542)
            EXPECT_LT(code, previous) << "slot 542";
        else
            EXPECT_GT(code, previous) << "slot " << slot << " out of order";
    }
}

// Spot values: the first slot, and slots whose Unicode entry is not the
// standard mapping of their JIS code.
TEST(KanjiTable, SpotValues) {
    const struct {
        int slot;
        std::int32_t jis_code;
        std::int32_t unicode_code;
    } cases[] = {{0, 0x3026, 0x611B}, {82, 0x325F, 0x8CB8}, {542, 0x3F48, 0x91DD}, {1023, 0x4F43, 0x8A71}};
    for (const auto& spot : cases) {
        EXPECT_EQ(column(jis)[spot.slot], spot.jis_code) << "slot " << spot.slot;
        EXPECT_EQ(column(unicode)[spot.slot], spot.unicode_code) << "slot " << spot.slot;
    }
}

}  // namespace
