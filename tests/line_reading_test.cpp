// The font stream's pieces, positions and seeks, and the formatted-scan
// helpers that read keywords, numbers and bitmap rows.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "line_scan.h"
#include "test_support.h"

namespace {

std::vector<std::string> stream_pieces(const std::string& raw) {
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, raw);
    std::vector<std::string> pieces;
    char line[line_capacity];
    while (read_line(stream, line)) pieces.push_back(line);
    close_font_stream(stream);
    return pieces;
}

struct PieceCase {
    const char* name;
    std::string raw;
    std::vector<std::string> pieces;
};

const std::string a98(98, 'a');
const std::string a99(99, 'a');

TEST(LinePieces, CutLikeAHundredByteBuffer) {
    const PieceCase cases[] = {
        {"short line", "abc\n", {"abc\n"}},
        {"98 characters and newline fit one piece", a98 + "\n", {a98 + "\n"}},
        {"99 characters leave the newline alone", a99 + "\n", {a99, "\n"}},
        {"CR LF counts as one character", a98 + "\r\n", {a98 + "\n"}},
        {"99 characters then CR LF", a99 + "\r\n", {a99, "\n"}},
        {"lone CR is an ordinary character", "x\ry\n", {"x\ry\n"}},
        {"CR CR LF keeps the first CR", "x\r\r\n", {"x\r\n"}},
        {"long line in three reads", std::string(250, 'b'), {std::string(99, 'b'), std::string(99, 'b'), std::string(52, 'b')}},
        {"last line without newline", "one\nlast", {"one\n", "last"}},
        {"NUL ends the string of its piece", std::string("ab\0cd\nnext\n", 11), {"ab", "next\n"}},
        {"empty font", "", {}},
    };
    for (const PieceCase& c : cases) {
        EXPECT_EQ(stream_pieces(c.raw), c.pieces) << c.name;
        EXPECT_EQ(reference_pieces(c.raw, nullptr), c.pieces) << "reference: " << c.name;
    }
}

// A font several buffers long with lines of every length, CR LF and LF
// mixed: every piece, and every seek back to a piece's start, must match
// the simple character-by-character cut.
TEST(LinePieces, SeekBackAcrossBufferRefills) {
    std::mt19937 random(7);
    std::string raw;
    while (raw.size() < 3 * font_buffer_size) {
        const int length = static_cast<int>(random() % 230);
        for (int i = 0; i < length; ++i) raw += static_cast<char>('A' + random() % 26);
        raw += random() % 3 == 0 ? "\r\n" : "\n";
    }
    std::vector<std::int64_t> starts;
    const std::vector<std::string> expected = reference_pieces(raw, &starts);

    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, raw);
    char line[line_capacity];
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(tell(stream), starts[i]) << "piece " << i;
        ASSERT_TRUE(read_line(stream, line));
        ASSERT_EQ(line, expected[i]) << "piece " << i;
    }
    EXPECT_FALSE(read_line(stream, line));
    for (int trial = 0; trial < 2000; ++trial) {
        const std::size_t i = random() % expected.size();
        seek(stream, starts[i]);
        ASSERT_TRUE(read_line(stream, line));
        ASSERT_EQ(line, expected[i]) << "after seeking to piece " << i;
        if (i + 1 < expected.size()) {
            ASSERT_EQ(tell(stream), starts[i + 1]);
        }
    }
    close_font_stream(stream);
}

struct NumbersCase {
    const char* text;  // what follows the keyword
    int read;
    std::vector<std::int32_t> values;
};

TEST(ScanNumbers, ReadLikeAFormattedScan) {
    const NumbersCase cases[] = {
        {" 8 16 0 -2\n", 4, {8, 16, 0, -2}},
        {"65", 1, {65}},
        {"\t+7", 1, {7}},
        {" 5 abc", 1, {5}},
        {" 1,2", 1, {1}},
        {"   \n", -1, {}},
        {"", -1, {}},
        {"S 5", 0, {}},
        {" - 5", 0, {}},
        {" 0x41", 1, {0}},
        {" 99999999999999999999999999999999999999", 1, {2147483647}},
        {" -2147483649", 1, {-2147483647 - 1}},
        {" 2147483647 -2147483648", 2, {2147483647, -2147483647 - 1}},
    };
    for (const NumbersCase& c : cases) {
        std::int32_t values[4] = {};
        ASSERT_EQ(scan_numbers(c.text, values, 4), c.read) << '"' << c.text << '"';
        for (std::size_t i = 0; i < c.values.size(); ++i) EXPECT_EQ(values[i], c.values[i]) << c.text;
    }
}

TEST(ScanKeyword, OnlyAtTheVeryStartAndCaseSensitive) {
    EXPECT_STREQ(after_keyword("ENCODING 5", "ENCODING"), " 5");
    EXPECT_STREQ(after_keyword("ENCODING65", "ENCODING"), "65");
    EXPECT_EQ(after_keyword(" ENCODING 5", "ENCODING"), nullptr);
    EXPECT_EQ(after_keyword("encoding 5", "ENCODING"), nullptr);
    EXPECT_EQ(after_keyword("ENCOD", "ENCODING"), nullptr);
}

struct HexCase {
    const char* line;
    std::vector<int> set_bits;  // among bits 0..99
};

TEST(HexRows, ReadAsOneNumberOfAnyLength) {
    const HexCase cases[] = {
        {"F8\n", {3, 4, 5, 6, 7}},
        {"  80", {7}},
        {"0x01", {0}},
        {"+02", {1}},
        {"-1", [] { std::vector<int> all; for (int b = 0; b < 100; ++b) all.push_back(b); return all; }()},
        {"12G4", {1, 4}},
        {"ZZ", {}},
        {"", {}},
        {"ENDCHAR", {1, 2, 3}},
        {"80000000000000000000", {79}},
        {"00000000000000000001", {0}},
    };
    for (const HexCase& c : cases) {
        const HexRow row = scan_hex_row(c.line);
        std::vector<int> set;
        for (int b = 0; b < 100; ++b) {
            if (hex_row_bit(row, b)) set.push_back(b);
        }
        EXPECT_EQ(set, c.set_bits) << '"' << c.line << '"';
    }
}

}  // namespace
