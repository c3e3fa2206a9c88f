// romview --bdf: the exported fonts read back by the converters into the
// same images, and opened by a font editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "bdf_export.h"
#include "code_tables.h"
#include "romview_support.h"

namespace {

struct RoundTripCase {
    const char* name;
    std::string image;     // made in the test, or a sample's name
    std::string rom;       // empty: the sample image
};

// glyphmill reads the exported font of a kanji ROM back into the same image.
TEST(Romview, KanjiFontGivesTheSameImageBack) {
    ScratchDir dir;
    make_sample_images(dir);
    const RoundTripCase cases[] = {
        {"sample", "KANJIROM.66", ""},
        {"random dots", "random.66", random_rom(kanji_rom_size, 7)},
        {"blank slots", "blank.66", std::string(kanji_rom_size, '\0')},
    };
    std::filesystem::create_directory(dir.file("back"));
    for (const RoundTripCase& c : cases) {
        if (!c.rom.empty()) write_file(dir.file(c.image), c.rom);
        const RunResult run = run_in(dir, romview + " --bdf " + c.image + " | (cd back && " + GLYPHMILL_PATH + " -)");
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.output;
        EXPECT_EQ(read_file(dir.file("back/KANJIROM.66")), read_file(dir.file(c.image))) << c.name;
    }
}

// cellforge -ascii puts cells 1..255 of the exported font back in place.
TEST(Romview, CharacterFontGivesTheFirstSetBack) {
    ScratchDir dir;
    make_sample_images(dir);
    const RoundTripCase cases[] = {
        {"sample first image", "CGROM60.66", ""},
        {"sample second image", "CGROM66.66", ""},
        {"random dots", "random.66", random_rom(character_rom_size, 11)},
    };
    std::filesystem::create_directory(dir.file("back"));
    for (const RoundTripCase& c : cases) {
        if (!c.rom.empty()) write_file(dir.file(c.image), c.rom);
        const SplitRun exported = run_romview(dir, " --bdf " + c.image + " -o back/set1.bdf");
        ASSERT_EQ(exported.status, 0) << c.name << ": " << exported.err;
        EXPECT_EQ(exported.out, "") << c.name;
        const RunResult run = run_in(dir, std::string("cd back && ") + CELLFORGE_PATH + " -ascii set1.bdf");
        EXPECT_EQ(run.status, 0) << c.name << ": " << run.output;
        const Bytes original = read_file(dir.file(c.image));
        const Bytes back = read_file(dir.file("back/CGROM60.66"));
        ASSERT_EQ(back.size(), character_rom_size) << c.name;
        EXPECT_TRUE(std::equal(original.begin() + cell_bytes, original.begin() + second_set_first_cell * cell_bytes,
                               back.begin() + cell_bytes)) << c.name;
    }
}

// The cells of the second half sit where no code table looks.
TEST(Romview, SecondHalfOfTheCharacterFontUsesCodesNoTableNames) {
    const std::int32_t first = bdf_encoding(RomKind::character, second_set_first_cell);
    const std::int32_t last = bdf_encoding(RomKind::character, character_cell_count - 1);
    const auto outside = [&](std::int32_t code) { return code < first || code > last; };
    for (int cell = 0; cell < bank_cell_count; ++cell) {
        for (CharsetKind kind : {JIS, UNICODE}) {
            EXPECT_TRUE(outside(set1_code_map.code[kind][cell])) << cell;
            EXPECT_TRUE(outside(set2_code_map.code[kind][cell])) << cell;
        }
    }
    for (const CompositeEntry& entry : composite_table) {
        for (std::int32_t code : {entry.first_jis, entry.first_unicode, entry.second_jis, entry.second_unicode}) {
            EXPECT_TRUE(outside(code)) << entry.target;
        }
    }
    for (int b = 0; b < extra_symbol_count; ++b) EXPECT_TRUE(outside(extra_symbol_map[UNICODE][b]));
}

// FontForge opens both exported fonts with every glyph and no warning.
TEST(Romview, FontForgeOpensTheExportedFonts) {
    ScratchDir dir;
    if (run_in(dir, "command -v fontforge").status != 0) GTEST_SKIP() << "fontforge is not installed";
    make_sample_images(dir);
    for (const char* image : {"CGROM66.66", "KANJIROM.66"}) {
        ASSERT_EQ(run_romview(dir, std::string(" --bdf ") + image + " -o font.bdf").status, 0) << image;
        const RunResult run = run_in(dir, "fontforge -quiet -lang=py -c 'import fontforge; f = fontforge.open("
                                          "\"font.bdf\"); print(\"glyphs\", len(list(f.glyphs())))'");
        EXPECT_EQ(run.status, 0) << image << ": " << run.output;
        const int count = image[0] == 'K' ? kanji_slot_count : character_cell_count;
        const std::string glyphs = "glyphs " + std::to_string(count) + "\n";
        EXPECT_NE(run.output.find(glyphs), std::string::npos) << image << ": " << run.output;
        EXPECT_EQ(run.output.find("arning"), std::string::npos) << image << ": " << run.output;
    }
}

}  // namespace
