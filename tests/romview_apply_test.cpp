// romview --apply: an exported font goes back whole, byte for byte; an
// edited glyph changes its cell alone; a font of a few glyphs patches a few
// cells; a glyph that does not fit or names no cell is refused with one
// line and the image left as it was.
#include <gtest/gtest.h>

#include <string>

#include "romview_support.h"

namespace {

struct Image {
    const char* name;
    std::string bytes;
};

// The sample images and images of pseudo-random dots, cell 0 and the
// second set included; the character ROMs hold dots below the glyph rows
// (the mosaic of CGROM60.66), which the export leaves out and --apply
// keeps.
std::vector<Image> images_to_round_trip(const ScratchDir& dir) {
    make_sample_images(dir);
    std::vector<Image> images;
    for (const char* name : {"KANJIROM.66", "CGROM60.66", "CGROM66.66"}) {
        const Bytes bytes = read_file(dir.file(name));
        images.push_back({name, std::string(bytes.begin(), bytes.end())});
    }
    images.push_back({"random_kanji.66", random_rom(kanji_rom_size, 3)});
    std::string cells = random_rom(character_rom_size, 5);
    for (int cell = 0; cell < character_cell_count; cell += 7) cells[cell * cell_bytes + cell_bytes - 1] = '\x5A';
    images.push_back({"random_cells.66", cells});
    return images;
}

TEST(RomviewApply, ExportedFontGoesBackByteForByte) {
    ScratchDir dir;
    for (const Image& image : images_to_round_trip(dir)) {
        write_file(dir.file(image.name), image.bytes);
        const std::string name = image.name;
        ASSERT_EQ(run_romview(dir, " --bdf " + name + " -o font.bdf").status, 0) << name;
        const SplitRun run = run_romview(dir, " --apply font.bdf " + name + " -o back.66");
        EXPECT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_EQ(run.err, "") << name;
        const Bytes back = read_file(dir.file("back.66"));
        EXPECT_TRUE(back == Bytes(image.bytes.begin(), image.bytes.end())) << name << " did not come back";
        EXPECT_NE(run.out.find(" changed: 0\n"), std::string::npos) << name << ": " << run.out;
    }
}

// The glyph named glyph_name in an exported font, its rows replaced.
std::string with_rows(std::string font, const std::string& glyph_name, const std::vector<std::string>& rows) {
    const std::size_t start = font.find("BITMAP\n", font.find("STARTCHAR " + glyph_name + "\n")) + 7;
    const std::size_t end = font.find("ENDCHAR", start);
    std::string text;
    for (const std::string& row : rows) text += row + "\n";
    return font.replace(start, end - start, text);
}

struct EditCase {
    const char* image;
    const char* glyph_name;
    std::vector<std::string> rows;
    std::string differing;  // --diff's listing, codes only, and its last line
};

TEST(RomviewApply, EditedGlyphChangesItsCellAlone) {
    const std::vector<std::string> cross = {"81", "42", "24", "18", "18", "24", "42", "81", "00", "00"};
    const EditCase cases[] = {
        {"CGROM66.66", "cell012C", cross, "0x12C\ncells differing: 1\n"},
        {"CGROM66.66", "cell0000", cross, "0x000\ncells differing: 1\n"},
        {"KANJIROM.66", "kanji3026", std::vector<std::string>(16, "8001"), "0x000\nglyphs differing: 1\n"},
        {"CGROM60.66", "cell0101", cross, "0x101\ncells differing: 1\n"},
    };
    ScratchDir dir;
    make_sample_images(dir);
    for (const EditCase& c : cases) {
        const std::string image = c.image;
        ASSERT_EQ(run_romview(dir, " --bdf " + image + " -o font.bdf").status, 0);
        const Bytes font = read_file(dir.file("font.bdf"));
        write_file(dir.file("edited.bdf"), with_rows(std::string(font.begin(), font.end()), c.glyph_name, c.rows));
        const SplitRun apply = run_romview(dir, " --apply edited.bdf " + image + " -o edited.66");
        EXPECT_EQ(apply.status, 0) << c.glyph_name << ": " << apply.err;
        EXPECT_NE(apply.out.find("changed: 1\n"), std::string::npos) << c.glyph_name << ": " << apply.out;
        const SplitRun diff = run_romview(dir, " --diff " + image + " edited.66");
        EXPECT_EQ(diff.status, 1) << c.glyph_name;
        EXPECT_EQ(listed_codes(diff.out), c.differing) << c.glyph_name;
    }
    // The mosaic's rows below the glyph rows stay as they were in the last
    // case.
    const Bytes before = read_file(dir.file("CGROM60.66"));
    const Bytes after = read_file(dir.file("edited.66"));
    ASSERT_EQ(after.size(), character_rom_size);
    EXPECT_EQ(after[0x101 * cell_bytes + cell_glyph_rows], before[0x101 * cell_bytes + cell_glyph_rows]);
}

// A font of two glyphs, not all of the box: the cells they name take their
// dots where their boxes say, blank elsewhere; the image is written in place.
TEST(RomviewApply, FewGlyphsPatchTheirCellsInPlace) {
    ScratchDir dir;
    make_sample_images(dir);
    const std::string font =
        "STARTFONT 2.1\nFONT patch\nSIZE 10 72 72\nFONTBOUNDINGBOX 8 10 0 -2\nSTARTPROPERTIES 3\n"
        "FONT_ASCENT 8\nFONT_DESCENT 2\nCHARSET_REGISTRY \"ISO10646\"\nENDPROPERTIES\nCHARS 2\n"
        "STARTCHAR a\nENCODING 65\nSWIDTH 800 0\nDWIDTH 8 0\nBBX 2 3 5 -1\nBITMAP\nC0\n40\nC0\nENDCHAR\n"
        "STARTCHAR b\nENCODING 57648\nSWIDTH 800 0\nDWIDTH 8 0\nBBX 0 0 0 0\nBITMAP\nENDCHAR\nENDFONT\n";
    write_file(dir.file("patch.bdf"), font);
    const Bytes before = read_file(dir.file("CGROM66.66"));
    const SplitRun run = run_romview(dir, " --apply patch.bdf CGROM66.66");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "CGROM66.66: glyphs put in from patch.bdf: 2, cells changed: 2\n");
    const Bytes after = read_file(dir.file("CGROM66.66"));
    EXPECT_EQ(rom_picture(after, 0x41),
              "........\n........\n........\n........\n........\n........\n"
              ".....##.\n......#.\n.....##.\n........\n"
              "........\n........\n........\n........\n........\n........\n");
    EXPECT_TRUE(is_blank(after, 0x130)) << "the glyph of U+E130 is blank";
    EXPECT_FALSE(is_blank(before, 0x130));
    for (int cell = 0; cell < character_cell_count; ++cell) {
        if (cell == 0x41 || cell == 0x130) continue;
        ASSERT_EQ(rom_picture(after, cell), rom_picture(before, cell)) << "cell " << cell;
    }
}

struct RefusalCase {
    const char* what_goes_wrong;
    std::string glyph;  // BBX and rows after ENCODING 65, or a whole font
    std::string message;
};

TEST(RomviewApply, RefusesWithOneLineAndLeavesTheImage) {
    const std::string head =
        "STARTFONT 2.1\nFONT bad\nSIZE 10 72 72\nFONTBOUNDINGBOX 16 16 0 -4\nSTARTPROPERTIES 3\n"
        "FONT_ASCENT 12\nFONT_DESCENT 4\nCHARSET_REGISTRY \"ISO10646\"\nENDPROPERTIES\nCHARS 1\nSTARTCHAR g\n";
    const std::string tail = "ENDCHAR\nENDFONT\n";
    const std::string fit = " does not fit its 8 x 10 box (BBX 8 10 0 -2)\n";
    const RefusalCase cases[] = {
        {"too wide", "ENCODING 65\nDWIDTH 9 0\nBBX 9 10 0 -2\nBITMAP\nFF80\nFF80\n",
         "romview: bad.bdf: the glyph of ENCODING 65 (BBX 9 10 0 -2)" + fit},
        {"below the descent", "ENCODING 65\nDWIDTH 8 0\nBBX 8 10 0 -3\nBITMAP\n",
         "romview: bad.bdf: the glyph of ENCODING 65 (BBX 8 10 0 -3)" + fit},
        {"left of the cell", "ENCODING 65\nDWIDTH 8 0\nBBX 2 2 -1 0\nBITMAP\nC0\nC0\n",
         "romview: bad.bdf: the glyph of ENCODING 65 (BBX 2 2 -1 0)" + fit},
        {"code of no cell", "ENCODING 1000\nDWIDTH 8 0\nBBX 8 10 0 -2\nBITMAP\n",
         "romview: bad.bdf: the glyph of ENCODING 1000 names none of the cells of a character ROM\n"},
        {"no encoding", "ENCODING -1\nDWIDTH 8 0\nBBX 8 10 0 -2\nBITMAP\n",
         "romview: bad.bdf: a glyph without an ENCODING names no glyph\n"},
    };
    ScratchDir dir;
    make_sample_images(dir);
    const Bytes before = read_file(dir.file("CGROM66.66"));
    for (const RefusalCase& c : cases) {
        write_file(dir.file("bad.bdf"), head + c.glyph + tail);
        const SplitRun run = run_romview(dir, " --apply bad.bdf CGROM66.66");
        EXPECT_EQ(run.status, 1) << c.what_goes_wrong;
        EXPECT_EQ(run.err, c.message) << c.what_goes_wrong;
        EXPECT_EQ(run.out, "") << c.what_goes_wrong;
        EXPECT_TRUE(read_file(dir.file("CGROM66.66")) == before) << c.what_goes_wrong << ": the image changed";
    }
}

struct CommandCase {
    const char* what_goes_wrong;
    std::string arguments;
    std::string message;
};

TEST(RomviewApply, RefusesFontsAndNamesThatCannotServe) {
    ScratchDir dir;
    make_sample_images(dir);
    ASSERT_EQ(run_romview(dir, " --bdf CGROM66.66 -o font.bdf").status, 0);
    write_file(dir.file("text.bdf"), "not a font\n");
    const std::string outline = std::string(FUZZ_DIR) + "/corpus/fontprep/big_traced_glyf.ttf";
    const CommandCase cases[] = {
        {"output over the font", " --apply font.bdf CGROM66.66 -o font.bdf",
         "romview: font.bdf is the font font.bdf itself; give -o another name\n"},
        {"a kanji ROM's numbering is not a character ROM's", " --apply font.bdf KANJIROM.66",
         "romview: font.bdf: the glyph of ENCODING 0 names none of the glyphs of a kanji ROM\n"},
        {"not a font", " --apply text.bdf CGROM66.66", "romview: text.bdf: not a readable font: invalid stream operation\n"},
        {"missing font", " --apply missing.bdf CGROM66.66", "romview: cannot open missing.bdf\n"},
        {"outline font", " --apply " + outline + " CGROM66.66",
         "romview: " + outline + ": an outline font; --apply takes a bitmap font such as --bdf writes\n"},
        {"with --list", " --apply font.bdf CGROM66.66 --list", "usage: romview --apply EDITS.bdf IMAGE [-o FILE]\n"},
        {"two images", " --apply font.bdf CGROM66.66 CGROM60.66",
         "usage: romview --apply EDITS.bdf IMAGE [-o FILE]\n"},
    };
    const Bytes before = read_file(dir.file("CGROM66.66"));
    for (const CommandCase& c : cases) {
        const SplitRun run = run_romview(dir, c.arguments);
        EXPECT_EQ(run.status, 1) << c.what_goes_wrong;
        EXPECT_EQ(run.err, c.message) << c.what_goes_wrong;
        EXPECT_TRUE(read_file(dir.file("CGROM66.66")) == before) << c.what_goes_wrong << ": the image changed";
    }
}

// FontForge keeps each glyph's ink only (a smaller box than the export's);
// an export edited and saved by it goes back with only the edited cell
// changed.
TEST(RomviewApply, FontForgeSavedEditGoesBack) {
    ScratchDir dir;
    if (run_in(dir, "command -v fontforge").status != 0) GTEST_SKIP() << "fontforge is not installed";
    make_sample_images(dir);
    ASSERT_EQ(run_romview(dir, " --bdf CGROM66.66 -o font.bdf").status, 0);
    const Bytes font = read_file(dir.file("font.bdf"));
    const std::vector<std::string> cross = {"81", "42", "24", "18", "18", "24", "42", "81", "00", "00"};
    write_file(dir.file("edited.bdf"), with_rows(std::string(font.begin(), font.end()), "cell012C", cross));
    const RunResult save = run_in(dir, "fontforge -quiet -lang=py -c 'import fontforge; "
                                       "fontforge.open(\"edited.bdf\").generate(\"saved.bdf\", bitmap_type=\"bdf\")' "
                                       "&& mv saved-*.bdf saved.bdf");
    ASSERT_EQ(save.status, 0) << save.output;
    const SplitRun apply = run_romview(dir, " --apply saved.bdf CGROM66.66 -o edited.66");
    ASSERT_EQ(apply.status, 0) << apply.err;
    const SplitRun diff = run_romview(dir, " --diff CGROM66.66 edited.66");
    EXPECT_EQ(listed_codes(diff.out), "0x12C\ncells differing: 1\n");
}

}  // namespace
