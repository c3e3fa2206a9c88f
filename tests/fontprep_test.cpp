// fontprep run on fonts written by the test and on the bundled PCF fixture:
// the BDF it writes, the converters' images of it, merging, numbering,
// aliases, and the one-line failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "numbering.h"
#include "rom_format.h"
#include "test_support.h"

namespace {

const std::string fontprep = FONTPREP_PATH;
const std::string glyphmill = GLYPHMILL_PATH;
const std::string cellforge = CELLFORGE_PATH;
const std::string samples = SAMPLES_DIR;
const std::string fixture = samples + "/shinonome-16-subset.pcf.gz";

TestGlyph cell_glyph(int encoding) {
    return {encoding, "8 10 0 -2", std::vector<std::string>(10, "3C")};
}

// The second-set cells of a CGROM66.66 that show cellforge's placeholder.
int placeholder_count(const Bytes& image) {
    int count = 0;
    for (int code = placeholder_first_code; code < bank_cell_count && image.size() == character_rom_size; ++code) {
        const auto cell = image.begin() + (second_set_first_cell + code) * cell_bytes;
        count += std::equal(cell, cell + cell_bytes, placeholder_rows);
    }
    return count;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::vector<long> encodings_of(const std::string& bdf) {
    std::vector<long> encodings;
    for (const std::string& line : lines_of(bdf)) {
        if (line.rfind("ENCODING ", 0) == 0) encodings.push_back(std::stol(line.substr(9)));
    }
    return encodings;
}

std::string text_of(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// ulimit -v cannot bound a program built with AddressSanitizer, which
// reserves terabytes of address space at start.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool address_space_limits_work = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool address_space_limits_work = false;
#else
constexpr bool address_space_limits_work = true;
#endif
#else
constexpr bool address_space_limits_work = true;
#endif

// A 16-pixel Unicode BDF font of count glyphs at codes first, first + step,
// ... Each glyph has the box bbx and no rows at all, so that the box is all
// FreeType has to go by; without bbx each is 24 dots wide and one row high,
// its row naming its code in hex.
std::string many_glyph_font(int count, long first, long step, const char* bbx) {
    std::string font = "STARTFONT 2.1\nFONT many\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 -2\nSTARTPROPERTIES 4\n"
                       "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nFONT_ASCENT 14\nFONT_DESCENT 2\n"
                       "ENDPROPERTIES\nCHARS " + std::to_string(count) + "\n";
    char glyph[200];
    for (int index = 0; index < count; ++index) {
        const long code = first + index * step;
        if (bbx != nullptr) {
            std::snprintf(glyph, sizeof glyph, "STARTCHAR c%lX\nENCODING %ld\nDWIDTH 16 0\nBBX %s\nBITMAP\nENDCHAR\n",
                          code, code, bbx);
        } else {
            std::snprintf(glyph, sizeof glyph,
                          "STARTCHAR c%lX\nENCODING %ld\nDWIDTH 24 0\nBBX 24 1 0 0\nBITMAP\n%06lX\nENDCHAR\n", code,
                          code, code);
        }
        font += glyph;
    }
    return font + "ENDFONT\n";
}

// Each glyph's code and its first row, in the order written.
std::vector<std::pair<long, std::string>> codes_and_rows(const std::string& bdf) {
    std::vector<std::pair<long, std::string>> glyphs;
    const std::vector<std::string> lines = lines_of(bdf);
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (lines[at].rfind("ENCODING ", 0) == 0) glyphs.push_back({std::stol(lines[at].substr(9)), ""});
        if (lines[at] == "BITMAP" && at + 1 < lines.size() && !glyphs.empty()) glyphs.back().second = lines[at + 1];
    }
    return glyphs;
}

// The fixture through fontprep gives the images of the BDF it was made from.
TEST(Fontprep, FixtureGivesTheSampleFontsImages) {
    ScratchDir dir;
    const RunResult reference = run_in(dir, "mkdir bdf prep && cd bdf && " + glyphmill + " " + samples +
                                                "/shinonome-16-gothic.bdf && " + cellforge + " " + samples +
                                                "/shinonome-16-gothic.bdf");
    ASSERT_EQ(reference.status, 0) << reference.output;
    const RunResult run = run_in(dir, "cd prep && " + fontprep + " --quiet " + fixture + " | " + glyphmill +
                                          " - && " + fontprep + " --quiet -o font.bdf " + fixture + " && " +
                                          cellforge + " font.bdf");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");
    for (const char* image : {"KANJIROM.66", "CGROM60.66", "CGROM66.66"}) {
        const Bytes expected = read_file(dir.file(std::string("bdf/") + image));
        ASSERT_FALSE(expected.empty()) << image;
        EXPECT_TRUE(read_file(dir.file(std::string("prep/") + image)) == expected) << image << " differs";
    }
}

// Boxes and rows leave fontprep as the font gives them, in ascending order.
TEST(Fontprep, KeepsEveryGlyphsBoxAndRows) {
    struct Case {
        const char* what_goes_wrong;
        TestGlyph glyph;
        const char* expected;  // BBX line and rows as written
    };
    const Case cases[] = {
        {"narrow glyph widened or moved", {0x2330, "5 7 1 -1", {"F8", "88", "88", "88", "88", "88", "F8"}},
         "BBX 5 7 1 -1\nBITMAP\nF8\n88\n88\n88\n88\n88\nF8\n"},
        {"two-byte rows cut", {0x2331, "12 2 0 0", {"FFF0", "8010"}}, "BBX 12 2 0 0\nBITMAP\nFFF0\n8010\n"},
        {"negative x-offset lost", {0x2332, "3 2 -2 3", {"E0", "A0"}}, "BBX 3 2 -2 3\nBITMAP\nE0\nA0\n"},
        {"glyph above the baseline moved", {0x2121, "4 1 0 6", {"F0"}}, "BBX 4 1 0 6\nBITMAP\nF0\n"},
    };
    std::vector<TestGlyph> glyphs;
    for (auto it = std::rbegin(cases); it != std::rend(cases); ++it) glyphs.push_back(it->glyph);
    ScratchDir dir;
    write_file(dir.file("font.bdf"), full_font("JISX0208.1990", "0", 8, 2, glyphs));
    const RunResult run = run_in(dir, fontprep + " --quiet font.bdf > out.bdf");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string out = text_of(read_file(dir.file("out.bdf")));
    for (const Case& test : cases) EXPECT_NE(out.find(test.expected), std::string::npos) << test.what_goes_wrong;
    EXPECT_EQ(encodings_of(out), (std::vector<long>{0x2121, 0x2330, 0x2331, 0x2332})) << "not ascending";
    for (const std::string& line : lines_of(out)) EXPECT_LT(line.size(), 99u) << line;
    for (const char* property :
         {"FONT_ASCENT 8\n", "FONT_DESCENT 2\n", "CHARSET_REGISTRY \"JISX0208.1990\"\n", "CHARSET_ENCODING \"0\"\n"}) {
        EXPECT_NE(out.find(property), std::string::npos) << property;
    }
}

// Codes in the written numbering: JIS stays JIS, Unicode stays Unicode, -n
// converts, variants reach the JIS code, glyphs without a code are dropped.
TEST(Fontprep, NumbersGlyphsByTheChosenNumbering) {
    struct Case {
        const char* what_goes_wrong;
        const char* registry;
        const char* encoding;
        std::vector<int> encodings;
        const char* options;
        std::vector<long> expected;
        const char* summary;
    };
    const Case cases[] = {
        {"JIS font renumbered", "JISX0208.1990", "0", {0x2121, 0x2141}, "", {0x2121, 0x2141}, "2 glyphs taken"},
        {"JIS to Unicode not through the JIS X 0208 mapping", "JISX0208.1990", "0", {0x2121, 0x2141}, "-n unicode",
         {0x3000, 0x301C, 0xFF5E}, "1 aliases added"},
        {"Unicode font renumbered", "ISO10646", "1", {0x3000, 0x41}, "", {0x41, 0x3000}, "2 glyphs taken"},
        {"fullwidth tilde misses the wave dash's JIS code", "ISO10646", "1", {0xFF5E, 0x41}, "-n jis", {0x2141},
         "1 dropped (no JIS code)"},
        {"aliases added against --no-aliases", "ISO10646", "1", {0x2212}, "--no-aliases", {0x2212}, "0 aliases added"},
        {"alias of the minus sign missing", "ISO10646", "1", {0x2212}, "", {0x2212, 0xFF0D}, "1 aliases added"},
        {"JIS X 0201 katakana not converted", "JISX0201.1976", "0", {0xB1}, "", {0xFF71}, "1 glyphs taken"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        std::vector<TestGlyph> glyphs;
        for (int encoding : test.encodings) glyphs.push_back(cell_glyph(encoding));
        write_file(dir.file("font.bdf"), full_font(test.registry, test.encoding, 8, 2, glyphs));
        const RunResult run = run_in(dir, fontprep + " " + test.options + " font.bdf 2>log > out.bdf");
        ASSERT_EQ(run.status, 0) << test.what_goes_wrong << ": " << run.output;
        EXPECT_EQ(encodings_of(text_of(read_file(dir.file("out.bdf")))), test.expected) << test.what_goes_wrong;
        EXPECT_NE(text_of(read_file(dir.file("log"))).find(test.summary), std::string::npos)
            << test.what_goes_wrong << ": " << text_of(read_file(dir.file("log")));
    }
}

// A JIS font and a Unicode font, each lacking what the other has: merged
// they leave fewer placeholder cells than either alone, and the aliases
// fill cells (the overline of JIS 2131) that the plain fonts leave blank.
TEST(Fontprep, MergingAndAliasesFillPlaceholderCells) {
    ScratchDir dir;
    write_file(dir.file("jis.bdf"), full_font("JISX0208.1990", "0", 8, 2, {cell_glyph(0x222A), cell_glyph(0x2131)}));
    write_file(dir.file("uni.bdf"), full_font("ISO10646", "1", 8, 2, {cell_glyph(0x2491), cell_glyph(0x2190)}));
    struct Case {
        const char* fonts;
        int placeholders;
    };
    Case cases[] = {{"--no-aliases jis.bdf", 0}, {"--no-aliases uni.bdf", 0},
                    {"--no-aliases jis.bdf uni.bdf", 0}, {"jis.bdf uni.bdf", 0}};
    for (Case& test : cases) {
        const RunResult run = run_in(dir, fontprep + " --quiet -n unicode " + test.fonts + " > font.bdf && " +
                                              cellforge + " font.bdf");
        ASSERT_EQ(run.status, 0) << test.fonts << ": " << run.output;
        test.placeholders = placeholder_count(read_file(dir.file("CGROM66.66")));
    }
    EXPECT_LT(cases[2].placeholders, std::min(cases[0].placeholders, cases[1].placeholders));
    EXPECT_EQ(cases[2].placeholders - cases[3].placeholders, 6) << "the six overline cells stay placeholders";
}

// The first font wins; a later font's glyphs keep their boxes, on the one
// baseline, even where its ascent differs.
TEST(Fontprep, LaterFontsOnlyFillMissingCodes) {
    ScratchDir dir;
    write_file(dir.file("a.bdf"), full_font("JISX0208.1990", "0", 8, 2, {{0x2121, "2 1 0 0", {"C0"}}}));
    write_file(dir.file("b.bdf"),
               full_font("JISX0208.1990", "0", 9, 1, {{0x2121, "3 1 0 0", {"E0"}}, {0x2122, "3 1 0 0", {"E0"}}}));
    const RunResult run = run_in(dir, fontprep + " a.bdf b.bdf 2>log > out.bdf");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string out = text_of(read_file(dir.file("out.bdf")));
    EXPECT_NE(out.find("BBX 2 1 0 0\nBITMAP\nC0\n"), std::string::npos) << "first font's 2121 replaced";
    EXPECT_NE(out.find("BBX 3 1 0 0\nBITMAP\nE0\n"), std::string::npos) << "2122's box moved";
    EXPECT_EQ(encodings_of(out), (std::vector<long>{0x2121, 0x2122}));
    EXPECT_NE(text_of(read_file(dir.file("log"))).find("b.bdf: 1 codes filled, 0 aliases added, 0 dropped "
                                                       "(no JIS code), 1 already present"),
              std::string::npos);
}

// Every failure is one line on standard error and status 1, and an earlier
// output file stays.
TEST(Fontprep, BadInputsFailWithOneLine) {
    struct Case {
        const char* what_goes_wrong;
        const char* command;  // after "fontprep "
        const char* message;
    };
    const Case cases[] = {
        {"non-font accepted", "-o out.bdf text.txt", "fontprep: text.txt: not a readable font: "},
        {"truncated PCF accepted", "-o out.bdf cut.pcf", "fontprep: cut.pcf: truncated or damaged PCF font\n"},
        {"truncated gzip accepted", "-o out.bdf cut.pcf.gz", "fontprep: cut.pcf.gz: truncated or damaged PCF font\n"},
        {"font of another height merged", "-o out.bdf ten.bdf twelve.bdf",
         "fontprep: twelve.bdf: 12 pixels, not 10 like the font written\n"},
        {"outline size ignored for a bitmap font", "-s 16 -o out.bdf ten.bdf",
         "fontprep: ten.bdf: 10 pixels, not 16 as -s asks\n"},
        {"empty font accepted", "-o out.bdf empty.bdf", "fontprep: empty.bdf: empty file\n"},
        {"font without a registry accepted", "-o out.bdf bare.bdf",
         "fontprep: bare.bdf: no CHARSET_REGISTRY says how its glyphs are numbered\n"},
        {"missing font", "-o out.bdf missing.bdf", "fontprep: cannot open missing.bdf\n"},
        {"unwritable output", "-o missing/out.bdf ten.bdf", "fontprep: cannot open missing/out.bdf\n"},
        {"unknown registry", "-o out.bdf koi.bdf", "fontprep: koi.bdf: glyphs numbered by an unknown character set"},
        {"no glyph left", "-n jis -o out.bdf latin.bdf", "fontprep: no glyph has a JIS code\n"},
        {"bad size", "-s 0 ten.bdf", "fontprep: bad size 0: give 1 to 256\n"},
        {"bad numbering", "-n ebcdic ten.bdf", "fontprep: bad numbering ebcdic: give jis or unicode\n"},
        {"tool of no images", "--for romview -o out.bdf ten.bdf", "fontprep: bad tool romview: give glyphmill or cellforge\n"},
        {"report of an unreadable font", "--report text.txt", "fontprep: text.txt: not a readable font: "},
        {"no font", "--quiet", "usage: fontprep [--for glyphmill|cellforge]"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        write_file(dir.file("out.bdf"), "earlier");
        write_file(dir.file("text.txt"), "just some text\n");
        write_file(dir.file("ten.bdf"), full_font("JISX0208.1990", "0", 8, 2, {cell_glyph(0x2121)}));
        write_file(dir.file("twelve.bdf"), full_font("JISX0208.1990", "0", 10, 2, {cell_glyph(0x2122)}));
        write_file(dir.file("koi.bdf"), full_font("KOI7", "0", 8, 2, {cell_glyph(0x41)}));
        write_file(dir.file("empty.bdf"), "");
        write_file(dir.file("bare.bdf"), full_font("", "", 8, 2, {cell_glyph(0x41)}));
        write_file(dir.file("latin.bdf"), full_font("ISO10646", "1", 8, 2, {cell_glyph(0x41)}));
        const RunResult run = run_in(dir, "zcat " + fixture + " | head -c 30000 > cut.pcf && head -c 30000 " +
                                              fixture + " > cut.pcf.gz && " + fontprep + " " + test.command);
        EXPECT_EQ(run.status, 1) << test.what_goes_wrong;
        EXPECT_EQ(run.output.rfind(test.message, 0), 0u) << test.what_goes_wrong << ": " << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << test.what_goes_wrong;
        EXPECT_EQ(text_of(read_file(dir.file("out.bdf"))), "earlier") << test.what_goes_wrong;
    }
}

// A font whose glyphs declare huge boxes without rows is a small file for
// which FreeType would reserve gigabytes: it is refused as too big before
// that, and a real shortage of memory says so in fontprep's own line.
TEST(Fontprep, DeclaredGlyphBoxesAreBoundedLikeTheFile) {
    if (!address_space_limits_work) GTEST_SKIP() << "ulimit -v cannot bound an AddressSanitizer build";
    struct Case {
        const char* what_goes_wrong;
        const char* font;
        const char* kilobytes;  // the ulimit -v fontprep runs under
        const char* message;
    };
    const Case cases[] = {
        {"declared boxes allocated", "huge.bdf", "100000",
         "fontprep: huge.bdf: too big (over 256 MiB of file or 64 MiB of glyphs)\n"},
        {"declared boxes of a compressed font allocated", "huge.bdf.gz", "100000",
         "fontprep: huge.bdf.gz: too big (over 256 MiB of file or 64 MiB of glyphs)\n"},
        {"shortage of memory called an unreadable font", "huge.bdf.gz", "40000", "fontprep: out of memory\n"},
    };
    ScratchDir dir;
    write_file(dir.file("huge.bdf"), many_glyph_font(20000, 0x4E00, 1, "512 1023 0 0"));
    ASSERT_EQ(run_in(dir, "gzip -c huge.bdf > huge.bdf.gz").status, 0);
    for (const Case& test : cases) {
        write_file(dir.file("out.bdf"), "earlier");
        const RunResult run = run_in(dir, std::string("(ulimit -v ") + test.kilobytes + "; timeout 20 " + fontprep +
                                              " -o out.bdf " + test.font + ")");
        EXPECT_EQ(run.status, 1) << test.what_goes_wrong;
        EXPECT_EQ(run.output, test.message) << test.what_goes_wrong;
        EXPECT_EQ(text_of(read_file(dir.file("out.bdf"))), "earlier") << test.what_goes_wrong;
    }
}

// The 64 MiB of glyphs hold for all fonts together: of two fonts of 35 MiB
// of glyphs each, the first is read and the second refused.
TEST(Fontprep, GlyphLimitCoversAllFontsTogether) {
    ScratchDir dir;
    write_file(dir.file("a.bdf"), many_glyph_font(4500, 0x4E00, 1, "256 256 0 0"));
    write_file(dir.file("b.bdf"), many_glyph_font(4500, 0x8000, 1, "256 256 0 0"));
    const RunResult merged = run_in(dir, fontprep + " --quiet -o /dev/null a.bdf b.bdf");
    EXPECT_EQ(merged.status, 1);
    EXPECT_EQ(merged.output, "fontprep: b.bdf: too big (over 256 MiB of file or 64 MiB of glyphs)\n");
}

// A later font's glyphs that fill nothing are not kept: fifty copies of a
// font merge within a few times the memory one copy needs, into the font
// one copy gives, and the summary still counts each copy.
TEST(Fontprep, LaterFontsThatFillNothingCostNoMemory) {
    if (!address_space_limits_work) GTEST_SKIP() << "ulimit -v cannot bound an AddressSanitizer build";
    ScratchDir dir;
    write_file(dir.file("font.bdf"), many_glyph_font(1000, 0x4E00, 1, "256 256 0 0"));
    std::string fonts;
    for (int copy = 0; copy < 50; ++copy) fonts += " font.bdf";
    const RunResult one = run_in(dir, fontprep + " --quiet -o one.bdf font.bdf");
    ASSERT_EQ(one.status, 0) << one.output;
    const RunResult fifty = run_in(dir, "(ulimit -v 150000; timeout 20 " + fontprep + " -o fifty.bdf" + fonts + ")");
    ASSERT_EQ(fifty.status, 0) << fifty.output.substr(0, 300);
    EXPECT_TRUE(read_file(dir.file("fifty.bdf")) == read_file(dir.file("one.bdf"))) << "fifty copies give another font";
    const std::vector<std::string> summary = lines_of(fifty.output);
    ASSERT_GE(summary.size(), 51u);
    EXPECT_EQ(summary[50].rfind("fontprep: 1000 glyphs written", 0), 0u) << summary[50];
    EXPECT_EQ(summary[0], "fontprep: font.bdf: 1000 glyphs taken, 0 aliases added, 0 dropped (no Unicode code)");
    EXPECT_EQ(summary[49], "fontprep: font.bdf: 0 codes filled, 0 aliases added, 0 dropped (no Unicode code), "
                           "1000 already present");
}

// FreeType's BDF character map numbers glyphs in 16 bits; every glyph of a
// larger font still comes out under its own code, and one whose code
// FreeType cannot give is counted as dropped, not lost unsaid.
TEST(Fontprep, ReadsBdfFontsOfMoreThan65535Glyphs) {
    struct Case {
        int glyphs;
        int written;
        const char* summary;
    };
    const Case cases[] = {
        {70000, 70000, "fontprep: big.bdf: 70000 glyphs taken, 0 aliases added, 0 dropped (no Unicode code)\n"},
        {65536, 65535, "fontprep: big.bdf: 65535 glyphs taken, 0 aliases added, 1 dropped (no Unicode code)\n"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        // Codes three apart, from U+0100 up to beyond U+33000.
        write_file(dir.file("big.bdf"), many_glyph_font(test.glyphs, 0x100, 3, nullptr));
        const RunResult run = run_in(dir, fontprep + " --no-aliases -o out.bdf big.bdf");
        ASSERT_EQ(run.status, 0) << test.glyphs << ": " << run.output;
        EXPECT_EQ(run.output.substr(0, run.output.find('\n') + 1), test.summary) << test.glyphs;
        const std::vector<std::pair<long, std::string>> glyphs = codes_and_rows(text_of(read_file(dir.file("out.bdf"))));
        ASSERT_EQ(glyphs.size(), static_cast<std::size_t>(test.written)) << test.glyphs;
        int misplaced = 0;
        for (int index = 0; index < test.written; ++index) {
            char row[16];
            std::snprintf(row, sizeof row, "%06X", 0x100 + index * 3);
            misplaced += glyphs[index].first != 0x100 + index * 3 || glyphs[index].second != row;
        }
        EXPECT_EQ(misplaced, 0) << test.glyphs << " glyphs: codes missing or glyphs under another code";
    }
}

// The output may not be one of the fonts, however its name is spelt; the
// font stays as it was.
TEST(Fontprep, RefusesToWriteOverAFont) {
    struct Case {
        const char* command;  // after "fontprep "
        const char* message;
    };
    const Case cases[] = {
        {"-o f.bdf f.bdf", "fontprep: f.bdf is the font f.bdf itself; give -o another name\n"},
        {"-o ./f.bdf f.bdf", "fontprep: ./f.bdf is the font f.bdf itself; give -o another name\n"},
        {"-o sub/../f.bdf f.bdf", "fontprep: sub/../f.bdf is the font f.bdf itself; give -o another name\n"},
        {"-o link.bdf f.bdf", "fontprep: link.bdf is the font f.bdf itself; give -o another name\n"},
        {"-o f.bdf other.bdf sub/../f.bdf",
         "fontprep: f.bdf is the font sub/../f.bdf itself; give -o another name\n"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        const std::string font = full_font("JISX0208.1990", "0", 8, 2, {cell_glyph(0x2121)});
        write_file(dir.file("f.bdf"), font);
        write_file(dir.file("other.bdf"), full_font("JISX0208.1990", "0", 8, 2, {cell_glyph(0x2122)}));
        const RunResult run = run_in(dir, "mkdir sub && ln -s f.bdf link.bdf && " + fontprep + " " + test.command);
        EXPECT_EQ(run.status, 1) << test.command;
        EXPECT_EQ(run.output, test.message) << test.command;
        EXPECT_EQ(text_of(read_file(dir.file("f.bdf"))), font) << test.command << ": the font was replaced";
    }
}

// A PCF font cut short anywhere past its table list, as it stands or
// gzip-compressed, is called truncated or damaged, not of an unknown format.
TEST(Fontprep, TruncatedPcfFontsSaySo) {
    ScratchDir dir;
    ASSERT_EQ(run_in(dir, "zcat " + fixture + " > whole.pcf").status, 0);
    const Bytes whole = read_file(dir.file("whole.pcf"));
    const std::size_t table_list_end = 8 + 16 * std::size_t{whole.size() > 4 ? whole[4] : 0u};
    for (const std::size_t cut : {table_list_end, table_list_end + 1, std::size_t{1000}, std::size_t{30000},
                                  whole.size() / 2, whole.size() - 100, whole.size() - 1}) {
        const std::string size = std::to_string(cut);
        const RunResult run = run_in(dir, "head -c " + size + " whole.pcf > cut.pcf && gzip -c cut.pcf > cut.pcf.gz && " +
                                              fontprep + " cut.pcf; " + fontprep + " cut.pcf.gz");
        EXPECT_EQ(run.output, "fontprep: cut.pcf: truncated or damaged PCF font\n"
                              "fontprep: cut.pcf.gz: truncated or damaged PCF font\n")
            << "cut at " << size;
    }
}

// Standard output that cannot take the font fails the run; /dev/stdout and
// a font named like an option after "--" work.
TEST(Fontprep, StandardOutputAndOddNames) {
    struct Case {
        const char* what_goes_wrong;
        std::string command;  // $F is fontprep
        int status;
        std::string output;
    };
    const Case cases[] = {
        {"closed standard output taken for success", "$F ten.bdf >&-", 1, "fontprep: cannot write standard output\n"},
        {"file size limit kills the run", "(ulimit -f 0; $F --quiet ten.bdf > out.bdf)", 1,
         "fontprep: cannot write standard output\n"},
        {"-o - not standard output", "$F --quiet -o - ten.bdf | grep -c STARTCHAR; ls ./-", 2,
         "1\nls: cannot access './-': No such file or directory\n"},
        {"-o /dev/stdout on a pipe refused", "$F --quiet -o /dev/stdout ten.bdf | grep -c STARTCHAR", 0, "1\n"},
        {"font named like an option after --", "cp ten.bdf ./-x.bdf && $F --quiet -- -x.bdf | grep -c STARTCHAR", 0,
         "1\n"},
        {"--help into a full device silent", "$F --help >/dev/full", 1, "fontprep: cannot write standard output\n"},
    };
    for (const Case& test : cases) {
        ScratchDir dir;
        write_file(dir.file("ten.bdf"), full_font("JISX0208.1990", "0", 8, 2, {cell_glyph(0x2121)}));
        const RunResult run = run_in(dir, "F=" + fontprep + "; " + test.command);
        EXPECT_EQ(run.status, test.status) << test.what_goes_wrong;
        EXPECT_EQ(run.output, test.output) << test.what_goes_wrong;
    }
}

// fontprep's own output states the fonts' pixel size, not the height of
// ascent and descent, so it merges again with a font of that size; a JIS
// X 0208 font keeps its registry with a glyph in row 13.
TEST(Fontprep, OwnOutputMergesAgain) {
    ScratchDir dir;
    std::string eleven_high = full_font("JISX0208.1990", "0", 9, 2, {cell_glyph(0x2121), cell_glyph(0x2D21)});
    eleven_high.insert(eleven_high.find("ENDPROPERTIES"), "PIXEL_SIZE 10\n");
    write_file(dir.file("m10.bdf"), eleven_high);
    write_file(dir.file("ten.bdf"), full_font("JISX0208.1990", "0", 8, 2, {cell_glyph(0x2122)}));
    const RunResult run = run_in(dir, fontprep + " --quiet m10.bdf > once.bdf && " + fontprep +
                                          " --quiet once.bdf ten.bdf > twice.bdf");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string once = text_of(read_file(dir.file("once.bdf")));
    for (const char* line : {"\nSIZE 10 72 72\n", "\nPIXEL_SIZE 10\n", "\nCHARSET_REGISTRY \"JISX0208.1990\"\n"}) {
        EXPECT_NE(once.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(encodings_of(text_of(read_file(dir.file("twice.bdf")))), (std::vector<long>{0x2121, 0x2122, 0x2D21}));
}

TEST(Fontprep, VersionAndHelp) {
    ScratchDir dir;
    EXPECT_EQ(run_in(dir, fontprep + " --version").output, "fontprep " TOOLKIT_VERSION "\n");
    const RunResult help = run_in(dir, fontprep + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: fontprep", 0), 0u);
}

// The conversions whose rule is subtle, one row each.
TEST(FontprepNumbering, ConvertsCodesBetweenNumberings) {
    struct Case {
        const char* what_goes_wrong;
        const char* registry;
        const char* encoding;
        std::int64_t code;
        Numbering output;
        std::int64_t expected;
        bool primary;
    };
    const Case cases[] = {
        {"JIS X 0208 wave dash", "JISX0208.1983", "0", 0x2141, Numbering::unicode, 0x301C, true},
        {"JIS X 0213 code outside JIS X 0208", "JISX0213.2004", "1", 0x2B30, Numbering::unicode, 0x0259, true},
        {"JIS X 0213 plane 2 code", "JISX0213.2004", "2", 0x2121, Numbering::unicode, 0x20089, true},
        {"plane 2 glyph given a JIS code", "JISX0213.2004", "2", 0x2121, Numbering::jis, -1, true},
        {"fullwidth tilde as a primary code", "ISO10646", "1", 0xFF5E, Numbering::jis, 0x2141, false},
        {"em dash not the horizontal bar", "ISO10646", "1", 0x2014, Numbering::jis, 0x213D, false},
        {"ideographic space", "ISO10646", "1", 0x3000, Numbering::jis, 0x2121, true},
        {"JIS code outside the rows kept", "JISX0208.1990", "0", 0x7F21, Numbering::jis, -1, true},
        {"circled one of a JIS X 0208 font's row 13", "JISX0208.1983", "0", 0x2D21, Numbering::unicode, 0x2460,
         true},
        {"Latin-1 byte", "ISO8859", "1", 0xE9, Numbering::unicode, 0xE9, true},
        {"KOI8-R byte", "KOI8", "R", 0xC1, Numbering::unicode, 0x0430, true},
        {"JIS X 0201 yen sign", "JISX0201.1976", "0", 0x5C, Numbering::unicode, 0xA5, true},
        {"code point beyond Unicode", "ISO10646", "1", 0x110000, Numbering::unicode, -1, true},
    };
    for (const Case& test : cases) {
        const SourceNumbering numbering = classify_font(test.registry, test.encoding, false);
        ASSERT_NE(numbering.kind, SourceKind::unknown) << test.what_goes_wrong;
        const OutputCode code = output_code(numbering, test.code, test.output);
        EXPECT_EQ(code.code, test.expected) << test.what_goes_wrong;
        if (code.code >= 0) {
            EXPECT_EQ(code.primary, test.primary) << test.what_goes_wrong;
        }
    }
}

}  // namespace
