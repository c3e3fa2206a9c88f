// The one reading of a font against reading it piece by piece with
// read_line. The header scan's glyph record (every even code wanted, and
// every code beyond the tables' range) must list exactly the wanted
// ENCODING pieces with a number, each with where its glyph's lines begin;
// the block-at-a-time search must stop at exactly the pieces that begin a
// header keyword; a keyword line read in place must give the general
// scan's numbers and span its whole piece; and read_next_encoding must give
// every ENCODING piece with a number. When the top bit of the input's last
// byte is set, the font starts just before the stream's first refill.
#include <cstring>
#include <vector>

#include "fuzz_font.h"
#include "keyword_pieces.h"
#include "line_scan.h"

namespace {

constexpr KeywordStarts header_keywords =
    keyword_starts({"ENCODING", "BBX", "FONT_ASCENT", "FONT_DESCENT", "CHARSET_REGISTRY"});
const char* const keyword_names[] = {"ENCODING", "BBX", "FONT_ASCENT", "FONT_DESCENT", "CHARSET_REGISTRY"};

FontStream stream;
GlyphRecord record;

const EncodingSet& even_codes() {
    static const EncodingSet wanted = [] {
        EncodingSet made{};
        for (std::int32_t code = 0; code < encoding_set_range; code += 2) add_encoding(made, code);
        made.any_beyond = true;
        return made;
    }();
    return wanted;
}

struct Reading {
    std::vector<std::int64_t> keyword_pieces;
    std::vector<std::int32_t> encodings;       // every ENCODING piece with a number
    std::vector<std::int64_t> glyph_starts;    // just after each of them
    std::vector<std::int64_t> encoding_starts;
};

bool begins_header_keyword(const char* line) {
    for (const char* keyword : keyword_names) {
        if (std::strncmp(line, keyword, 3) == 0) return true;
    }
    return false;
}

Reading read_piece_by_piece() {
    Reading reading;
    rewind(stream);
    char line[line_capacity];
    for (std::int64_t start = tell(stream); read_line(stream, line); start = tell(stream)) {
        if (begins_header_keyword(line)) reading.keyword_pieces.push_back(start);
        std::int32_t encoding;
        if (!scan_keyword_number(line, "ENCODING", encoding)) continue;
        reading.encodings.push_back(encoding);
        reading.glyph_starts.push_back(tell(stream));
        reading.encoding_starts.push_back(start);
    }
    return reading;
}

void check_record(const Reading& reading) {
    int wanted = 0;
    for (std::size_t i = 0; i < reading.encodings.size(); ++i) {
        if (!may_be_wanted(even_codes(), reading.encodings[i])) continue;
        if (wanted < glyph_record_capacity) {
            require(record.encoding[wanted] == reading.encodings[i]);
            require(record.glyph_start[wanted] == reading.glyph_starts[i]);
        } else if (wanted == glyph_record_capacity) {
            require(record.full && record.unrecorded == reading.encoding_starts[i]);
        }
        ++wanted;
    }
    require(record.count == (wanted < glyph_record_capacity ? wanted : glyph_record_capacity));
    require(record.full == (wanted > glyph_record_capacity));
}

// A plain line read in place spans its piece and has the general numbers.
template <std::size_t size>
void check_plain_line(const char (&keyword)[size], int count) {
    std::int32_t plain[4];
    const std::size_t plain_size = read_plain_numbers(stream.buffer + stream.cursor, stream.filled - stream.cursor,
                                                      keyword, plain, count);
    if (plain_size == 0) return;
    require(plain_size == piece_size(stream));
    const std::int64_t start = tell(stream);
    char line[line_capacity];
    read_line(stream, line);
    std::int32_t general[4];
    require(scan_numbers(line + size - 1, general, count) == count);
    for (int v = 0; v < count; ++v) require(plain[v] == general[v]);
    seek(stream, start);
}

void check_search(const Reading& reading) {
    rewind(stream);
    std::size_t found = 0;
    char line[line_capacity];
    while (find_keyword_piece(stream, header_keywords)) {
        require(found < reading.keyword_pieces.size() && tell(stream) == reading.keyword_pieces[found++]);
        check_plain_line("ENCODING", 1);
        check_plain_line("BBX", 4);
        read_line(stream, line);
    }
    require(found == reading.keyword_pieces.size());
    rewind(stream);
    std::int32_t encoding;
    for (std::size_t i = 0; read_next_encoding(stream, encoding); ++i) {
        require(i < reading.encodings.size() && encoding == reading.encodings[i]);
        require(tell(stream) == reading.glyph_starts[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool near_refill = size > 0 && (data[size - 1] & 0x80);
    const std::size_t padding = near_refill ? max_padding_bytes - 4 * (data[size - 1] & 0x7F) : 0;
    require(open_fuzz_font(stream, data, size, padding));
    scan_font_header(stream, true, even_codes(), record);
    if (!stream.read_failed) {
        const Reading reading = read_piece_by_piece();
        check_record(reading);
        check_search(reading);
    }
    close_font_stream(stream);
    return 0;
}
