// Both programs run on hostile fonts made in the test: numbers far past 32
// bits, extreme boxes, rows of any width or none, huge lines, NUL bytes,
// cut-off files, things that are no font at all, and a full disk. Each run
// must end in bounded time with status 0 or 1 and its defined message, and
// must either replace every earlier image by a complete one (status 0) or
// leave each byte for byte as it was (status 1).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "code_tables.h"
#include "kanji_table.h"
#include "test_support.h"

namespace {

// 日 (JIS 0x467C) is both a kanji of the kanji ROM and a first-set
// character, so one glyph reaches both programs.
constexpr int shared_code = 0x467C;
const std::string shared_encoding = std::to_string(shared_code);
constexpr int timed_out = 124;
const std::string time_limit = "timeout 300 ";

enum class Glyph { blank, drawn, any };

struct Outcome {
    int status;
    std::string output;
    Glyph glyph;  // the shared glyph's cell, in images written with status 0
};

const Outcome blank_image{0, "", Glyph::blank};
const Outcome drawn_image{0, "", Glyph::drawn};
const Outcome illegal_bdf{1, "illegal bdf\n", Glyph::any};

struct HostileCase {
    const char* name;
    std::string (*font)();  // the bytes of font.bdf; null: font.bdf is a directory
    Outcome outcome;
};

// A JIS font 16 dots high (ascent 14, descent 2) holding `glyphs`.
std::string font_with(const std::string& glyphs, const std::string& ascent = "14",
                      const std::string& descent = "2") {
    return "STARTFONT 2.1\nFONT hostile\nSTARTPROPERTIES 3\nFONT_ASCENT " + ascent + "\nFONT_DESCENT " +
           descent + "\nCHARSET_REGISTRY \"JISX0208.1990\"\nENDPROPERTIES\nCHARS 1\n" + glyphs;
}

std::string glyph(const std::string& bbx, const std::vector<std::string>& rows,
                  const std::string& encoding = shared_encoding) {
    std::string text = "STARTCHAR hostile\nENCODING " + encoding + "\nBBX " + bbx + "\nBITMAP\n";
    for (const std::string& row : rows) text += row + "\n";
    return text + "ENDCHAR\n";
}

const std::vector<std::string> solid(16, "FFFF");
const std::string solid_glyph = glyph("16 16 0 -2", solid);

std::string font_with_box(const std::string& bbx) {
    return font_with(glyph(bbx, solid) + "ENDFONT\n");
}

std::string font_with_encoding(const std::string& encoding) {
    return font_with(glyph("16 16 0 -2", solid, encoding) + "ENDFONT\n");
}

const std::string forty_digits = "1234567890123456789012345678901234567890";

// Rows of 17 to 98 digits, each read as one number: `filler` digits, then
// the four that a glyph 16 dots wide shows.
std::string font_with_long_rows(char filler, const std::string& last_digits) {
    std::vector<std::string> rows;
    for (int r = 0; r < 16; ++r) rows.push_back(std::string(13 + r * 81 / 15, filler) + last_digits);
    return font_with(glyph("16 16 0 -2", rows) + "ENDFONT\n");
}

// A glyph 296 dots wide: rows of 74 digits, far wider than the grid.
std::string font_296_dots_wide(const std::string& row) {
    return font_with(glyph("296 16 0 -2", std::vector<std::string>(16, row)) + "ENDFONT\n");
}

std::string binary_garbage() {
    std::mt19937 random(5);
    std::string bytes(64 * 1024, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

std::string with_nul(const std::string& text) {
    std::string bytes = text;
    for (char& c : bytes) {
        if (c == '@') c = '\0';
    }
    return bytes;
}

const HostileCase hostile_cases[] = {
    // Numbers of 40 digits and numbers just past 32 bits saturate; a value
    // that wrapped around instead would land on the glyph and draw it.
    {"ascent_of_40_digits_lifts_glyphs_off_the_grid", [] { return font_with(solid_glyph, forty_digits); },
     blank_image},
    {"ascent_past_32_bits_does_not_wrap", [] { return font_with(solid_glyph, "4294967310"); }, blank_image},
    {"negative_ascent_of_40_digits", [] { return font_with(solid_glyph, "-" + forty_digits); }, illegal_bdf},
    {"descent_of_40_digits", [] { return font_with(solid_glyph, "14", forty_digits); }, drawn_image},
    {"descent_past_32_bits", [] { return font_with(solid_glyph, "14", "4294967298"); }, drawn_image},
    {"negative_descent_past_32_bits", [] { return font_with(solid_glyph, "14", "-4294967294"); }, illegal_bdf},
    {"encoding_of_40_digits", [] { return font_with_encoding(forty_digits); }, blank_image},
    {"encoding_past_32_bits_does_not_wrap", [] { return font_with_encoding("4294985340"); }, blank_image},
    {"negative_encoding_past_32_bits_does_not_wrap", [] { return font_with_encoding("-4294949252"); },
     blank_image},
    {"box_width_of_40_digits", [] { return font_with_box(forty_digits + " 16 0 -2"); }, blank_image},
    {"box_width_past_32_bits_does_not_wrap", [] { return font_with_box("4294967312 16 0 -2"); }, blank_image},
    {"box_height_of_40_digits", [] { return font_with_box("16 " + forty_digits + " 0 -2"); }, blank_image},
    {"box_height_past_32_bits_does_not_wrap", [] { return font_with_box("16 4294967312 0 -2"); }, blank_image},
    {"box_x_offset_of_40_digits", [] { return font_with_box("16 16 " + forty_digits + " -2"); }, blank_image},
    {"box_x_offset_past_32_bits_does_not_wrap", [] { return font_with_box("16 16 4294967296 -2"); },
     blank_image},
    {"box_y_offset_of_40_digits", [] { return font_with_box("16 16 0 " + forty_digits); }, blank_image},
    {"box_y_offset_past_32_bits_does_not_wrap", [] { return font_with_box("16 16 0 4294967294"); },
     blank_image},

    // Extreme boxes and properties.
    {"box_of_2147483647_everywhere",
     [] { return font_with_box("2147483647 2147483647 2147483647 2147483647"); }, blank_image},
    {"box_width_of_minus_2147483648", [] { return font_with_box("-2147483648 16 0 -2"); }, blank_image},
    {"box_height_of_minus_2147483648", [] { return font_with_box("16 -2147483648 0 -2"); }, blank_image},
    {"box_x_offset_of_minus_2147483648_squeezes_the_font",
     [] { return font_with_box("16 16 -2147483648 -2"); }, drawn_image},
    {"box_y_offset_of_minus_2147483648", [] { return font_with_box("16 16 0 -2147483648"); }, blank_image},
    {"ascent_and_descent_of_2147483647_together",
     [] { return font_with(solid_glyph, "2147483647", "2147483647"); }, blank_image},
    {"box_height_of_a_million_with_three_rows",
     [] { return font_with(glyph("16 1000000 0 -2", {"FFFF", "FFFF", "FFFF"})); }, blank_image},

    // Bitmap rows: a row is one number whose low digits a narrow glyph shows
    // and whose top digits a wide glyph shows, as far as the grid reaches; a
    // row of more than 98 digits arrives as several lines, of which the
    // first is the row; a row that is no number is blank.
    {"rows_of_17_to_98_digits_show_their_last_digits", [] { return font_with_long_rows('0', "8001"); },
     drawn_image},
    {"rows_of_17_to_98_digits_drop_their_first_digits", [] { return font_with_long_rows('F', "0000"); },
     blank_image},
    {"row_of_200_digits_arrives_in_pieces_the_first_one_its_row",
     [] { return font_with(glyph("16 1 0 -2", {std::string(99, 'F') + std::string(101, '0')})); }, drawn_image},
    {"row_of_200_zeros_and_digits_arrives_in_pieces",
     [] { return font_with(glyph("16 1 0 -2", {std::string(196, '0') + "FFFF"})); }, blank_image},
    {"glyph_296_dots_wide_keeps_its_left_part", [] { return font_296_dots_wide("8" + std::string(73, '0')); },
     drawn_image},
    {"glyph_296_dots_wide_drops_its_right_part",
     [] { return font_296_dots_wide(std::string(58, '0') + std::string(16, 'F')); }, blank_image},
    {"rows_that_are_not_hex_are_blank",
     [] {
         return font_with(glyph("16 16 0 -2", {"xyz", "G", "-", "+", "0x", "0xg", "--1", "#FFFF", "", " ", "\t",
                                               "~", "0X", "-+F", "x0", "."}));
     },
     blank_image},

    // Lines and bytes.
    {"line_of_10_megabytes_without_a_newline",
     [] { return font_with(solid_glyph) + std::string(10 * 1024 * 1024, 'x'); }, drawn_image},
    {"nul_bytes_after_keywords_and_values",
     [] {
         return with_nul("FONT_ASCENT 14@ 99\nFONT_DESCENT 2@x\nCHARSET_REGISTRY \"JISX0208\"@\"KOI8\"\n"
                         "ENCODING " + shared_encoding + "@ 5\nBBX 16 16 0 -2@ 9\nBITMAP@\n") +
                "FFFF\n" + "FFFF\n" + "FFFF\n" + "FFFF\n";
     },
     drawn_image},
    {"nul_byte_inside_a_property_keyword_hides_it",
     [] {
         std::string font = font_with(solid_glyph);
         return with_nul(font.replace(font.find("FONT_ASCENT"), 11, "FONT_@ASCENT"));
     },
     illegal_bdf},
    {"nul_byte_inside_encoding_hides_the_glyph",
     [] { return font_with(with_nul("STARTCHAR x\nENC@ODING " + shared_encoding + "\nBBX 16 16 0 -2\nBITMAP\nFFFF\n")); },
     blank_image},
    {"font_cut_off_in_the_middle_of_a_row",
     [] {
         return font_with("STARTCHAR hostile\nENCODING " + shared_encoding + "\nBBX 16 16 0 -2\nBITMAP\n" +
                          "FFFF\nFFFF\nFFFF\nFF");
     },
     drawn_image},
    {"one_million_matching_encoding_lines",
     [] {
         std::string lines;
         for (int i = 0; i < 1000000; ++i) lines += "ENCODING " + shared_encoding + "\n";
         return font_with(lines + solid_glyph);
     },
     drawn_image},

    // No font at all.
    {"directory_as_font", nullptr, {1, "cannot open font.bdf\n", Glyph::any}},
    {"empty_file_as_font", [] { return std::string(); }, illegal_bdf},
    {"binary_garbage_as_font", binary_garbage, illegal_bdf},
};

struct Image {
    const char* name;
    std::size_t size;
    std::vector<std::size_t> glyph_rows;  // where the shared glyph's 16 rows start
};

int kanji_slot_of_shared_code() {
    for (int slot = 0; slot < kanji_slot_count; ++slot) {
        if (kanji_code_map.code[JIS][slot] == shared_code) return slot;
    }
    return -1;
}

int first_set_cell_of_shared_code() {
    for (int cell = 0; cell < bank_cell_count; ++cell) {
        if (set1_code_map.code[JIS][cell] == shared_code) return cell;
    }
    return -1;
}

struct Program {
    const char* name;
    std::string path;
    std::vector<Image> images;
};

std::vector<Program> programs() {
    const std::size_t slot = kanji_slot_of_shared_code() * kanji_glyph_size;
    const std::size_t cell = first_set_cell_of_shared_code() * cell_bytes;
    return {
        {"glyphmill", GLYPHMILL_PATH, {{"KANJIROM.66", kanji_rom_size, {slot, kanji_plane_size + slot}}}},
        {"cellforge", CELLFORGE_PATH,
         {{"CGROM60.66", character_rom_size, {cell}}, {"CGROM66.66", character_rom_size, {cell}}}},
    };
}

const Bytes old_image = {'o', 'l', 'd', ' ', 'i', 'm', 'a', 'g', 'e'};

TEST(HostileSetup, SharedGlyphIsAKanjiAndAFirstSetCharacter) {
    EXPECT_GE(kanji_slot_of_shared_code(), 0);
    EXPECT_GE(first_set_cell_of_shared_code(), 0);
}

bool glyph_blank(const Bytes& image, const Image& layout) {
    for (std::size_t offset : layout.glyph_rows) {
        for (std::size_t r = 0; r < 16; ++r) {
            if (image.at(offset + r) != 0) return false;
        }
    }
    return true;
}

void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

class HostileFont : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFont, EndsWithItsOutcomeAndNoDamagedImage) {
    const HostileCase& c = GetParam();
    ScratchDir dir;
    if (c.font == nullptr) {
        std::filesystem::create_directory(dir.file("font.bdf"));
    } else {
        write_file(dir.file("font.bdf"), c.font());
    }
    for (const Program& program : programs()) {
        for (const Image& image : program.images) write_file(dir.file(image.name), "old image");
        const RunResult run = run_in(dir, time_limit + program.path + " font.bdf");
        ASSERT_NE(run.status, timed_out) << program.name << " took too long";
        EXPECT_EQ(run.status, c.outcome.status) << program.name;
        EXPECT_EQ(run.output, c.outcome.output) << program.name;
        for (const Image& layout : program.images) {
            const Bytes image = read_file(dir.file(layout.name));
            if (run.status != 0) {
                EXPECT_EQ(image, old_image) << program.name << " damaged " << layout.name;
                continue;
            }
            ASSERT_EQ(image.size(), layout.size) << program.name << " " << layout.name;
            if (c.outcome.glyph != Glyph::any) {
                EXPECT_EQ(glyph_blank(image, layout), c.outcome.glyph == Glyph::blank)
                    << program.name << " " << layout.name << (c.outcome.glyph == Glyph::blank ? " drew" : " lacks")
                    << " the glyph";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFont, testing::ValuesIn(hostile_cases),
                         [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// Fills the disk, then frees `free_bytes` of it again.
void fill_leaving(const SmallDisk& disk, std::size_t free_bytes) {
    const std::string filler = disk.path + "/filler";
    const int descriptor = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(descriptor, 0);
    const std::vector<char> block(4096, 'f');
    while (write(descriptor, block.data(), block.size()) > 0) {
    }
    close(descriptor);
    const std::uintmax_t full = std::filesystem::file_size(filler);
    ASSERT_GE(full, free_bytes);
    std::filesystem::resize_file(filler, full - free_bytes);
}

struct FullDiskCase {
    const char* name;
    int program;              // index into programs()
    std::size_t free_bytes;   // room left beside the old images
    std::string output;
    std::vector<bool> replaced;  // per image: a complete new one, else the old one
};

TEST(HostileDisk, FullDiskKeepsTheOlderImage) {
    const FullDiskCase cases[] = {
        {"kanji image half written", 0, kanji_plane_size, "cannot write KANJIROM.66\n", {false}},
        {"first character image cannot be written", 1, 4096, "cannot write CGROM60.66\n", {false, false}},
        {"second character image cannot be written", 1, character_rom_size, "cannot write CGROM66.66\n", {true, false}},
    };
    const std::vector<Program> all = programs();
    for (const FullDiskCase& c : cases) {
        ScratchDir dir;
        write_file(dir.file("font.bdf"), font_with(solid_glyph));
        SmallDisk disk(dir.file("disk"), "40k");
        if (!disk.mounted) {
            GTEST_SKIP() << "cannot mount a 40 KB tmpfs to fill (" << std::strerror(disk.error)
                         << "); the test needs root and mount permission";
        }
        const Program& program = all[c.program];
        for (const Image& image : program.images) write_file(disk.path + "/" + image.name, "old image");
        ASSERT_NO_FATAL_FAILURE(fill_leaving(disk, c.free_bytes));
        const RunResult run = run_in(dir, "cd disk && " + time_limit + program.path + " ../font.bdf");
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_EQ(run.output, c.output) << c.name;
        for (std::size_t i = 0; i < program.images.size(); ++i) {
            const Bytes image = read_file(disk.path + "/" + program.images[i].name);
            if (c.replaced[i]) {
                EXPECT_EQ(image.size(), program.images[i].size) << c.name << " " << program.images[i].name;
            } else {
                EXPECT_EQ(image, old_image) << c.name << " " << program.images[i].name;
            }
        }
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(disk.path)) {
            (void)entry;
            ++entries;
        }
        EXPECT_EQ(entries, 1 + program.images.size()) << c.name << ": a temporary file was left behind";
    }
}

}  // namespace
