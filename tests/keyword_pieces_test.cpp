// Finding the pieces that may begin a keyword a block of bytes at a time,
// the byte matches it rests on, and plain keyword lines read in place: each
// against the plain reading of every piece.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "byte_match.h"
#include "keyword_pieces.h"
#include "line_scan.h"
#include "test_support.h"

namespace {

// The bits a block's matches give for bytes that pass `matches`.
template <typename Test>
std::uint64_t expected_mask(const unsigned char* bytes, int count, int bits_per_byte, Test matches) {
    std::uint64_t mask = 0;
    for (int k = 0; k < count; ++k) {
        if (matches(bytes[k])) mask |= std::uint64_t{1} << (k * bits_per_byte + bits_per_byte - 1);
    }
    return mask;
}

TEST(ByteMatch, EachWayFindsExactlyTheMatchingBytes) {
    std::mt19937 random(11);
    unsigned char bytes[16];
    for (int trial = 0; trial < 20000; ++trial) {
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random() % 3 == 0 ? "\nBCEFZ\x80"[random() % 7] : random());
        const auto c = static_cast<unsigned char>(trial % 2 == 0 ? '\n' : random());
        const auto low = static_cast<unsigned char>('A' + random() % 26);
        const auto high = static_cast<unsigned char>(low + random() % ('Z' - low + 1));
        const auto equal = [c](unsigned char b) { return b == c; };
        const auto in_range = [low, high](unsigned char b) { return b >= low && b <= high; };
        ASSERT_EQ(word_matches(bytes, c), expected_mask(bytes, 8, 8, equal));
        ASSERT_EQ(word_in_range(bytes, low, high), expected_mask(bytes, 8, 8, in_range)) << low << high;
#if defined(__SSE2__)
        ASSERT_EQ(sse2_matches(bytes, c), expected_mask(bytes, 16, 1, equal));
        ASSERT_EQ(sse2_in_range(bytes, low, high), expected_mask(bytes, 16, 1, in_range)) << low << high;
#endif
    }
    const std::uint64_t bytes_2_and_5 = std::uint64_t{1} << (2 * match_bits_per_byte) |
                                        std::uint64_t{1} << (5 * match_bits_per_byte + match_bits_per_byte - 1);
    EXPECT_EQ(first_match(bytes_2_and_5), 2u);
    EXPECT_EQ(last_match(bytes_2_and_5), 5u);
}

constexpr KeywordStarts header_starts =
    keyword_starts({"ENCODING", "BBX", "FONT_ASCENT", "FONT_DESCENT", "CHARSET_REGISTRY"});
constexpr KeywordStarts encoding_starts = keyword_starts({"ENCODING"});
constexpr KeywordStarts alphabet_starts = keyword_starts({"AXY", "ZXY"});

// Lines of every length up to 250 (CR LF, lone CRs and NULs mixed in) whose
// starts are often a keyword, the start of one, or a capital letter.
std::string keyword_soup(unsigned seed, std::size_t size) {
    static const char* const starts[] = {"ENCODING 5", "ENC", "EN", "ENCODINGX", "BBX 1 2 3 4", "BBX", "BB",
                                         "FONT_ASCENT 3", "FONT", "FO", "CHARSET_REGISTRY", "CHA", "CH", "ZXY",
                                         "AXY", "E\0C", "", "x"};
    std::mt19937 random(seed);
    std::string raw;
    while (raw.size() < size) {
        raw += random() % 2 ? std::string(starts[random() % std::size(starts)]) : std::string("E\0CB", 4);
        const int length = static_cast<int>(random() % (random() % 8 == 0 ? 250 : 12));
        for (int i = 0; i < length; ++i) raw += "ENCBXFOZ AHR01\r\0x"[random() % 17];
        raw += random() % 3 == 0 ? "\r\n" : "\n";
    }
    return raw.substr(0, size);
}

bool begins_with_keyword(const std::string& piece, const std::vector<std::string>& keywords) {
    for (const std::string& keyword : keywords) {
        if (piece.compare(0, 3, keyword, 0, 3) == 0) return true;
    }
    return false;
}

struct FinderCase {
    const KeywordStarts* starts;
    std::vector<std::string> keywords;
};

const FinderCase finder_cases[] = {
    {&header_starts, {"ENCODING", "BBX", "FONT_ASCENT", "CHARSET_REGISTRY"}},
    {&encoding_starts, {"ENCODING"}},
    {&alphabet_starts, {"AXY", "ZXY"}},
};

// Every piece whose first three characters begin a keyword is found, and
// no other, in texts from empty to several buffers long.
TEST(FindKeywordPiece, StopsAtEveryKeywordPieceAndNoOther) {
    const std::size_t sizes[] = {0, 1, 2, 3, 4, 60, 101, 102, 250, 3000, 3 * font_buffer_size + 77};
    for (std::size_t s = 0; s < std::size(sizes); ++s) {
        const std::string raw = keyword_soup(static_cast<unsigned>(s), sizes[s]);
        std::vector<std::int64_t> starts;
        const std::vector<std::string> pieces = reference_pieces(raw, &starts);
        for (const FinderCase& c : finder_cases) {
            std::vector<std::int64_t> expected;
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                if (begins_with_keyword(pieces[i], c.keywords)) expected.push_back(starts[i]);
            }
            ScratchDir dir;
            FontStream stream;
            open_text_stream(stream, dir, raw);
            std::vector<std::int64_t> found;
            char line[line_capacity];
            while (find_keyword_piece(stream, *c.starts)) {
                found.push_back(tell(stream));
                read_line(stream, line);
            }
            close_font_stream(stream);
            EXPECT_EQ(found, expected) << "text of " << sizes[s] << " bytes, keywords like " << c.keywords[0];
        }
    }
}

TEST(ReadNextEncoding, GivesEveryEncodingLineWithANumber) {
    const std::string raw = keyword_soup(99, 2 * font_buffer_size) + "\nENCODING 12345";
    std::vector<std::int64_t> starts;
    const std::vector<std::string> pieces = reference_pieces(raw, &starts);
    std::vector<std::pair<std::int32_t, std::int64_t>> expected;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::int32_t encoding;
        const std::int64_t end = i + 1 < starts.size() ? starts[i + 1] : static_cast<std::int64_t>(raw.size());
        if (scan_keyword_number(pieces[i].c_str(), "ENCODING", encoding)) expected.emplace_back(encoding, end);
    }
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, raw);
    std::vector<std::pair<std::int32_t, std::int64_t>> found;
    std::int32_t encoding;
    while (read_next_encoding(stream, encoding)) found.emplace_back(encoding, tell(stream));
    close_font_stream(stream);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(found.back().first, 12345);
}

struct PlainCase {
    std::string text;
    int count;
    std::size_t size;  // 0: not a plain line
    std::vector<std::int32_t> values;
};

// A plain line's text without its last byte, which no longer reads.
std::size_t size_before_cut(const PlainCase& c) {
    return c.size == 0 ? 0 : c.size - 1;
}

TEST(ReadPlainNumbers, ReadsOnlyWhatTheGeneralScanReadsAlike) {
    const PlainCase cases[] = {
        {"ENCODING 65\n", 1, 12, {65}},
        {"ENCODING 65\r\nBBX", 1, 13, {65}},
        {"ENCODING -65\n", 1, 13, {-65}},
        {"ENCODING 000999999999\n", 1, 0, {}},
        {"ENCODING 999999999\n", 1, 19, {999999999}},
        {"ENCODING 1234567890\n", 1, 0, {}},
        {"ENCODING  65\n", 1, 0, {}},
        {"ENCODING\t65\n", 1, 0, {}},
        {"ENCODING +65\n", 1, 0, {}},
        {"ENCODING 65 \n", 1, 0, {}},
        {"ENCODING 65 66\n", 1, 0, {}},
        {"ENCODING 65", 1, 0, {}},
        {"ENCODING 65\r", 1, 0, {}},
        {"ENCODING 65\r\r\n", 1, 0, {}},
        {"ENCODING65\n", 1, 0, {}},
        {"ENCODING -\n", 1, 0, {}},
        {"ENCODING 6x\n", 1, 0, {}},
        {std::string("ENCODING 6\0\n", 12), 1, 0, {}},
        {"ENCODINGS 5\n", 1, 0, {}},
        {"BBX 8 16 0 -2\n", 4, 14, {8, 16, 0, -2}},
        {"BBX 8 16 0\n", 4, 0, {}},
        {"BBX 8 16 0 -2 7\n", 4, 0, {}},
        {"BBX 8 16 -0 -2\r\n", 4, 16, {8, 16, 0, -2}},
    };
    for (const PlainCase& c : cases) {
        const auto* text = reinterpret_cast<const unsigned char*>(c.text.data());
        std::int32_t values[4] = {};
        const bool encoding = c.text[0] == 'E';
        const auto read = [&](std::size_t available) {
            return encoding ? read_plain_numbers(text, available, "ENCODING", values, c.count)
                            : read_plain_numbers(text, available, "BBX", values, c.count);
        };
        EXPECT_EQ(read(size_before_cut(c)), 0u) << "cut short: " << c.text;
        const std::size_t size = read(c.text.size());
        EXPECT_EQ(size, c.size) << '"' << c.text << '"';
        if (size == 0) continue;
        std::int32_t general[4] = {};
        EXPECT_EQ(scan_numbers(c.text.c_str() + (encoding ? 8 : 3), general, c.count), c.count) << c.text;
        for (int v = 0; v < c.count; ++v) {
            EXPECT_EQ(values[v], c.values[v]) << c.text;
            EXPECT_EQ(general[v], c.values[v]) << c.text;
        }
    }
}

}  // namespace
