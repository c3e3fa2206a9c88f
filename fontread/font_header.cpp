#include "font_header.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "keyword_pieces.h"
#include "line_scan.h"
#include "rasterizer.h"

namespace {

constexpr KeywordStarts header_keywords =
    keyword_starts({"ENCODING", "BBX", "FONT_ASCENT", "FONT_DESCENT", "CHARSET_REGISTRY"});

// U+2E3A TWO-EM DASH and U+2E3B THREE-EM DASH are wider than any character
// cell; in a Unicode font they do not widen the font.
bool is_long_dash(std::int32_t encoding) {
    return encoding == 11834 || encoding == 11835;
}

bool equal_ignoring_case(const char* a, const char* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const char ca = static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
        const char cb = static_cast<char>(std::tolower(static_cast<unsigned char>(b[i])));
        if (ca != cb) return false;
        if (ca == '\0') return true;
    }
    return true;
}

// The registry token keeps the quotes of the BDF string property.
enum class Registry { jis, unicode, unknown };

Registry classify_registry(const char* token) {
    if (equal_ignoring_case(token, "\"JISX0208", 9) || equal_ignoring_case(token, "\"JISX0213", 9)) {
        return Registry::jis;
    }
    if (equal_ignoring_case(token, "\"ISO10646\"", SIZE_MAX)) return Registry::unicode;
    return Registry::unknown;
}

// One scan's font, rules, record and what it has learnt so far.
struct Scan {
    FontStream& stream;
    bool accept_unknown_charset;
    const EncodingSet& wanted;
    GlyphRecord& record;
    // On a pipe: the readings of the recorded glyphs that the passes will
    // make again, so that the copy keeps only what they read.
    bool following;
    GlyphReadings readings;
    HeaderScan result;
    std::int32_t encoding;  // of the glyph being read
    std::int64_t minimum;
    std::int64_t maximum;
    bool registry_seen;
    // The last plain BBX line, which most glyphs repeat, and its numbers.
    std::size_t box_line_size;  // 0 before the first
    unsigned char box_line[piece_chars];
    std::int32_t box[4];
};

// A wanted ENCODING piece, noted in the record; on a pipe its glyph's
// reading begins, or, past the record's capacity, the rest of the font is
// kept.
void record_wanted_glyph(Scan& scan, std::int32_t encoding, std::int64_t piece_start) {
    record_glyph(scan.record, encoding, piece_start, tell(scan.stream));
    if (!scan.following) return;
    if (scan.record.full) {
        // The passes read on from the first glyph left out to the end.
        keep_from(scan.stream, scan.record.unrecorded);
        scan.following = false;
        return;
    }
    begin_glyph_reading(scan.readings);
    keep_from(scan.stream, tell(scan.stream));
}

// An ENCODING piece that started at piece_start and has just been read.
inline void take_encoding(Scan& scan, std::int32_t encoding, std::int64_t piece_start) {
    scan.encoding = encoding;
    if (may_be_wanted(scan.wanted, encoding)) record_wanted_glyph(scan, encoding, piece_start);
}

// Moves on to the next piece that may begin a keyword. While some glyph
// readings are open, every piece on the way is followed, and the copy keeps
// the pieces up to where the last of them ends.
bool next_keyword_piece(Scan& scan) {
    FontStream& stream = scan.stream;
    while (scan.following && glyph_readings_open(scan.readings)) {
        if (!buffer_piece(stream)) return false;
        char line[line_capacity];
        const std::size_t size = copy_piece(stream, line);
        follow_glyph_readings(scan.readings, line);
        if (!glyph_readings_open(scan.readings)) keep_until(stream, tell(stream) + static_cast<std::int64_t>(size));
        if (piece_begins_keyword(stream, header_keywords)) return true;
        stream.cursor += size;
    }
    return find_keyword_piece(stream, header_keywords);
}

// Folds a BBX line's width and x-offset into the font's extent.
void fold_glyph_box(Scan& scan, const std::int32_t (&box)[4]) {
    if (scan.result.header.charset == UNICODE && is_long_dash(scan.encoding)) return;
    scan.minimum = std::min({scan.minimum, std::int64_t{box[0]}, std::int64_t{box[2]}});
    scan.maximum = std::max({scan.maximum, std::int64_t{box[0]}, std::int64_t{box[2]}});
}

// False when the scan stops at a registry it does not tolerate.
bool take_registry(Scan& scan, const char* values) {
    char token[line_capacity];
    if (!scan_word(values, token)) return true;
    scan.registry_seen = true;
    const Registry registry = classify_registry(token);
    if (registry == Registry::jis) scan.result.header.charset = JIS;
    if (registry == Registry::unicode) scan.result.header.charset = UNICODE;
    if (registry != Registry::unknown) return true;
    if (!scan.result.unknown_registry) std::memcpy(scan.result.registry, token, sizeof token);
    scan.result.unknown_registry = true;
    if (scan.accept_unknown_charset) return true;
    scan.result.error = FontError::unknown_charset;
    return false;
}

// The size of the plain BBX line at text, whose numbers are then in
// scan.box; 0 when it is none.
std::size_t read_plain_box(Scan& scan, const unsigned char* text, std::size_t available) {
    const std::size_t repeated = scan.box_line_size;
    if (repeated != 0 && available >= repeated && std::memcmp(text, scan.box_line, repeated) == 0) return repeated;
    const std::size_t size = read_plain_numbers(text, available, "BBX", scan.box, 4);
    if (size != 0) std::memcpy(scan.box_line, text, scan.box_line_size = size);
    return size;
}

// A plain ENCODING or BBX line, read in place; false for any other piece.
bool take_plain_line(Scan& scan) {
    FontStream& stream = scan.stream;
    const unsigned char* text = stream.buffer + stream.cursor;
    const std::size_t available = stream.filled - stream.cursor;
    const std::int64_t start = tell(stream);
    std::int32_t encoding;
    std::size_t size = 0;
    if (text[0] == 'E' && (size = read_plain_numbers(text, available, "ENCODING", &encoding, 1)) != 0) {
        stream.cursor += size;
        take_encoding(scan, encoding, start);
    } else if (text[0] == 'B' && (size = read_plain_box(scan, text, available)) != 0) {
        stream.cursor += size;
        fold_glyph_box(scan, scan.box);
    }
    return size != 0;
}

// Any keyword piece, copied and read by the general scan; false when the
// scan stops. A bare "BBX" takes part with zeros; a BBX followed by
// anything but numbers does not.
bool take_line(Scan& scan) {
    const std::int64_t start = tell(scan.stream);
    char line[line_capacity];
    read_line(scan.stream, line);
    const char* values;
    std::int32_t encoding;
    if (scan_keyword_number(line, "ENCODING", encoding)) take_encoding(scan, encoding, start);
    std::int32_t box[4] = {0, 0, 0, 0};
    if ((values = after_keyword(line, "BBX")) && scan_numbers(values, box, 4) != 0) fold_glyph_box(scan, box);
    scan_keyword_number(line, "FONT_ASCENT", scan.result.header.font_ascent);
    scan_keyword_number(line, "FONT_DESCENT", scan.result.header.font_descent);
    return !(values = after_keyword(line, "CHARSET_REGISTRY")) || take_registry(scan, values);
}

std::int32_t saturate_to_int32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

void judge_font(Scan& scan) {
    FontHeader& header = scan.result.header;
    header.font_width = saturate_to_int32(scan.maximum - scan.minimum);
    if (scan.stream.read_failed) {
        scan.result.error = FontError::unreadable;
    } else if (header.font_ascent < 0 || header.font_descent < 0 || header.font_width < 0 || !scan.registry_seen) {
        scan.result.error = FontError::illegal_bdf;
    }
}

}  // namespace

HeaderScan scan_font_header(FontStream& stream, bool accept_unknown_charset, const EncodingSet& wanted,
                            GlyphRecord& record) {
    record.count = 0;
    record.full = false;
    const bool following = copy_kept_spans_only(stream);
    Scan scan{stream, accept_unknown_charset, wanted, record, following, {}, {}, 0, 999, -1, false, 0, {}, {}};
    scan.result.header = {0, -1, -1, JIS};
    bool going = true;
    while (going && next_keyword_piece(scan)) going = take_plain_line(scan) || take_line(scan);
    // A scan stopped by a registry it does not tolerate leaves no pass to run
    // on the font: the rest of a font on a pipe need not be kept.
    if (going) {
        judge_font(scan);
    } else {
        keep_until(stream, tell(stream));
    }
    rewind(stream);
    return scan.result;
}

HeaderScan without_tolerance(const HeaderScan& scan) {
    HeaderScan strict = scan;
    if (scan.unknown_registry) strict.error = FontError::unknown_charset;
    return strict;
}
