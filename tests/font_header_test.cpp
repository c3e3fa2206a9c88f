// The header scan: extent, metrics, numbering and validation of a font.
#include <gtest/gtest.h>

#include <string>

#include "font_header.h"
#include "test_support.h"

namespace {

const std::string properties = "FONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY \"JISX0208.1990\"\n";
const std::string unicode_properties = "FONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY \"ISO10646\"\n";

struct HeaderCase {
    const char* name;
    std::string font;
    bool accept_unknown;
    FontError error;
    std::int32_t width;  // checked when there is no error
    CharsetKind charset;
};

HeaderScan scan_text(const std::string& text, bool accept_unknown) {
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, text);
    const HeaderScan scan = scan_header(stream, accept_unknown);
    close_font_stream(stream);
    return scan;
}

TEST(HeaderScan, ExtentNumberingAndValidation) {
    const HeaderCase cases[] = {
        {"widths and offsets fold into one extent", properties + "BBX 16 16 0 -2\nBBX 8 16 0 -2\n", false, FontError::none, 16, JIS},
        {"offset counts against width", properties + "BBX 7 12 1 -2\nBBX 7 12 1 -2\n", false, FontError::none, 6, JIS},
        {"negative offset widens", properties + "BBX 6 12 -1 -2\n", false, FontError::none, 7, JIS},
        {"bare BBX takes part with zeros", properties + "BBX 8 16 2 0\nBBX\n", false, FontError::none, 8, JIS},
        {"BBX with one number takes part", properties + "BBX 9\n", false, FontError::none, 9, JIS},
        {"BBX followed by a word does not", properties + "BBX 8 16 2 0\nBBXS 20\n", false, FontError::none, 6, JIS},
        {"lower-case bbx is no keyword", properties + "BBX 8 16 2 0\nbbx 20 1 1 1\n", false, FontError::none, 6, JIS},
        {"values beyond 999 keep the minimum at 999", properties + "BBX 1000 1 1000 0\n", false, FontError::none, 1, JIS},
        {"long dashes excluded in a Unicode font", unicode_properties + "BBX 8 16 0 -2\nENCODING 11834\nBBX 32 16 0 -2\nENCODING 11835\nBBX 48 16 0 -2\n", false, FontError::none, 8, UNICODE},
        {"long dashes count in a JIS font", properties + "BBX 8 16 0 -2\nENCODING 11834\nBBX 32 16 0 -2\n", false, FontError::none, 32, JIS},
        {"JISX0213 is JIS", "FONT_ASCENT 1\nFONT_DESCENT 1\nCHARSET_REGISTRY \"JISX0213.2004\"\nBBX 8 8 0 0\n", false, FontError::none, 8, JIS},
        {"lower-case jisx0208 is JIS", unicode_properties + "CHARSET_REGISTRY \"jisx0208.1983\"\nBBX 8 8 0 0\n", false, FontError::none, 8, JIS},
        {"lower-case iso10646 is Unicode", "FONT_ASCENT 1\nFONT_DESCENT 1\nCHARSET_REGISTRY \"iso10646\"\nBBX 8 8 0 0\n", false, FontError::none, 8, UNICODE},
        {"ISO10646-1 is unknown", "FONT_ASCENT 1\nFONT_DESCENT 1\nCHARSET_REGISTRY \"ISO10646-1\"\nBBX 8 8 0 0\n", false, FontError::unknown_charset, 0, JIS},
        {"unquoted ISO10646 is unknown", "FONT_ASCENT 1\nFONT_DESCENT 1\nCHARSET_REGISTRY ISO10646\nBBX 8 8 0 0\n", false, FontError::unknown_charset, 0, JIS},
        {"unknown accepted leaves the charset", "FONT_ASCENT 1\nFONT_DESCENT 1\nCHARSET_REGISTRY \"ISO8859\"\nBBX 8 8 0 0\n", true, FontError::none, 8, JIS},
        {"unknown after a known one still refused", properties + "CHARSET_REGISTRY \"KOI8\"\nBBX 8 8 0 0\n", false, FontError::unknown_charset, 0, JIS},
        {"last recognised registry decides", unicode_properties + "CHARSET_REGISTRY \"KOI8\"\nBBX 8 8 0 0\n", true, FontError::none, 8, UNICODE},
        {"no FONT_DESCENT", "FONT_ASCENT 14\nCHARSET_REGISTRY \"JISX0208\"\nBBX 8 8 0 0\n", false, FontError::illegal_bdf, 0, JIS},
        {"no FONT_ASCENT", "FONT_DESCENT 2\nCHARSET_REGISTRY \"JISX0208\"\nBBX 8 8 0 0\n", false, FontError::illegal_bdf, 0, JIS},
        {"negative ascent", "FONT_ASCENT -1\nFONT_DESCENT 2\nCHARSET_REGISTRY \"JISX0208\"\nBBX 8 8 0 0\n", false, FontError::illegal_bdf, 0, JIS},
        {"no registry", "FONT_ASCENT 14\nFONT_DESCENT 2\nBBX 8 8 0 0\n", false, FontError::illegal_bdf, 0, JIS},
        {"registry without a token", "FONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY   \nBBX 8 8 0 0\n", false, FontError::illegal_bdf, 0, JIS},
        {"no BBX", properties, false, FontError::illegal_bdf, 0, JIS},
        {"empty file", "", false, FontError::illegal_bdf, 0, JIS},
        {"keywords glued to values", "FONT_ASCENT14\nFONT_DESCENT2\nCHARSET_REGISTRY\"JISX0208\"\nBBX8 8 0 0\n", false, FontError::none, 8, JIS},
        {"keyword after 99 characters of a long line counts", std::string(99, 'x') + properties + "BBX 5 5 0 0\n", false, FontError::none, 5, JIS},
        {"a repeated box line counts each time, and lines that differ from it", properties + "BBX 9 1 0 0\nBBX 9 1 0 0\nBBX 9 1 0 0 \nBBX 9 1 -3 0\r\nBBX 9 1 -3 0\n", false, FontError::none, 12, JIS},
        {"a box line repeated after a long dash widens the font", unicode_properties + "ENCODING 11834\nBBX 40 16 0 -2\nENCODING 65\nBBX 40 16 0 -2\n", false, FontError::none, 40, UNICODE},
        {"glued and CR LF encodings are long dashes too", unicode_properties + "BBX 8 1 0 0\nENCODING11834\nBBX 30 1 0 0\nENCODING 11835\r\nBBX 31 1 0 0\n", false, FontError::none, 8, UNICODE},
        {"extent beyond 32 bits saturates", properties + "BBX 2147483647 1 -2147483648 0\n", false, FontError::none, 2147483647, JIS},
        {"40-digit numbers saturate", properties + "BBX 1234567890123456789012345678901234567890 1 0 0\n", false, FontError::none, 2147483647, JIS},
    };
    for (const HeaderCase& c : cases) {
        const HeaderScan scan = scan_text(c.font, c.accept_unknown);
        EXPECT_EQ(scan.error, c.error) << c.name;
        if (c.error != FontError::none) continue;
        EXPECT_EQ(scan.header.font_width, c.width) << c.name;
        EXPECT_EQ(scan.header.charset, c.charset) << c.name;
    }
}

TEST(HeaderScan, KeepsLastMetricsReportsTokenAndRewinds) {
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, "FONT_ASCENT 3\nFONT_ASCENT 2147483647\nFONT_DESCENT 2147483647\n"
                                  "CHARSET_REGISTRY \"JISX0208\"\nBBX 8 8 0 0\n");
    const HeaderScan scan = scan_header(stream, false);
    EXPECT_EQ(scan.error, FontError::none);
    EXPECT_EQ(font_height(scan.header), 4294967294);
    EXPECT_EQ(tell(stream), 0);
    close_font_stream(stream);

    EXPECT_STREQ(scan_text("CHARSET_REGISTRY \"Big5\" trailing\n", false).registry, "\"Big5\"");
}

TEST(HeaderScan, UnknownRegistryToleratedIsRefusedWithoutTolerance) {
    const std::string font = properties + "CHARSET_REGISTRY \"KOI8\"\nCHARSET_REGISTRY \"Big5\"\nBBX 8 8 0 0\n";
    const HeaderScan tolerant = scan_text(font, true);
    EXPECT_EQ(tolerant.error, FontError::none);
    const HeaderScan strict = without_tolerance(tolerant);
    EXPECT_EQ(strict.error, FontError::unknown_charset);
    EXPECT_STREQ(strict.registry, "\"KOI8\"");
    EXPECT_STREQ(strict.registry, scan_text(font, false).registry);
    EXPECT_EQ(without_tolerance(scan_text(properties + "BBX 8 8 0 0\n", true)).error, FontError::none);
}

struct RecordedGlyph {
    std::int32_t encoding;
    std::string before;  // the text up to where its lines begin, unique in the font
};

// The glyph record of a valid font's scan with the codes wanted.
const GlyphRecord& record_of(const std::string& font, std::initializer_list<std::int32_t> codes) {
    static EncodingSet wanted;
    static GlyphRecord record;
    wanted = EncodingSet{};
    for (const std::int32_t code : codes) add_encoding(wanted, code);
    ScratchDir dir;
    FontStream stream;
    open_text_stream(stream, dir, font);
    EXPECT_EQ(scan_font_header(stream, false, wanted, record).error, FontError::none);
    close_font_stream(stream);
    return record;
}

// The scan notes each wanted ENCODING piece with a number, in font order,
// with where the glyph's lines begin, whatever form the line takes.
TEST(GlyphRecord, NotesEveryWantedEncodingWhereItsGlyphBegins) {
    const std::string long_piece = std::string(99, 'x') + "ENCODING 66\n";
    const std::string font = properties + "ENCODING 65\nBBX 8 8 0 0\nENCODING 66\r\nENCODING 70\nENCODING x\n" +
                             "ENCODING67\nENCODING +65 9\nencoding 66\n ENCODING 66\n" + long_piece +
                             "ENCODING 4294967362\nENCODING 67";
    const RecordedGlyph expected[] = {{65, "ENCODING 65\n"}, {66, "ENCODING 66\r\n"}, {67, "ENCODING67\n"},
                                      {65, "ENCODING +65 9\n"}, {66, long_piece}, {67, "ENCODING 67"}};
    const GlyphRecord& record = record_of(font, {65, 66, 67});
    ASSERT_EQ(record.count, static_cast<int>(std::size(expected)));
    EXPECT_FALSE(record.full);
    for (int i = 0; i < record.count; ++i) {
        EXPECT_EQ(record.encoding[i], expected[i].encoding) << i;
        EXPECT_EQ(record.glyph_start[i], font.find(expected[i].before) + expected[i].before.size()) << i;
    }
}

TEST(GlyphRecord, FullRecordTellsWhereTheFirstGlyphLeftOutBegins) {
    std::string font = properties + "BBX 8 8 0 0\n";
    const std::size_t first = font.size();
    for (int i = 0; i < glyph_record_capacity + 3; ++i) font += "ENCODING 65\n";
    const GlyphRecord& record = record_of(font, {65});
    EXPECT_EQ(record.count, glyph_record_capacity);
    EXPECT_TRUE(record.full);
    EXPECT_EQ(record.unrecorded, static_cast<std::int64_t>(first + 12 * glyph_record_capacity));
    EXPECT_EQ(record.glyph_start[glyph_record_capacity - 1], record.unrecorded);
}

}  // namespace
