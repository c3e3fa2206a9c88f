#include "keyword_pieces.h"

#include <algorithm>

#include "byte_match.h"
#include "line_scan.h"

namespace {

enum class Passed { to_keyword, some, none };

// Blocks in a row without a newline after which the line being passed
// might reach 99 characters within the next block: from the last newline
// that many blocks back, the next block still ends within 99 bytes.
constexpr int most_quiet_blocks = static_cast<int>((piece_chars + 1 - 2 * match_block_bytes) / match_block_bytes);

// Where the line holding byte end - 1 starts, looking back no further than
// from (where the search began, at a piece start).
std::size_t line_start_before(const unsigned char* bytes, std::size_t from, std::size_t end) {
    while (end > from && bytes[end - 1] != '\n') --end;
    return end;
}

// Passes over the pieces from the cursor on that end in a newline within
// their 99 characters, a block of bytes at a time, up to one that begins a
// keyword: only line starts whose byte lies among the keywords' first bytes
// are looked at. Stops short, at the start of the line it is in, after a
// run of blocks without a newline in which the line might pass 99
// characters, and near the end of the buffered bytes.
Passed pass_short_pieces(FontStream& stream, const KeywordStarts& starts) {
    const std::size_t margin = stream.end_of_file ? 3 : piece_raw_bytes;
    if (stream.filled < margin) return Passed::none;
    // Every piece starting up to here has its first bytes buffered.
    const std::size_t stop = stream.filled - margin;
    const unsigned char* bytes = stream.buffer;
    constexpr std::size_t block = match_block_bytes;
    constexpr int last_byte_shift = match_bits_per_byte * static_cast<int>(block - 1);
    std::uint64_t carried_start = 0;  // the block before ended in a newline
    int quiet_blocks = 0;
    std::size_t at = stream.cursor;
    for (; at + block <= stop && quiet_blocks <= most_quiet_blocks; at += block) {
        const std::uint64_t newlines = block_matches(bytes + at, '\n');
        std::uint64_t candidates = (newlines << match_bits_per_byte | carried_start) &
                                   block_in_range(bytes + at, starts.lowest_first, starts.highest_first);
        for (; candidates != 0; candidates &= candidates - 1) {
            const std::size_t piece = at + first_match(candidates);
            if (begins_keyword(starts, bytes + piece)) {
                stream.cursor = piece;
                return Passed::to_keyword;
            }
        }
        carried_start = newlines >> last_byte_shift;
        quiet_blocks = newlines == 0 ? quiet_blocks + 1 : 0;
    }
    const std::size_t line = line_start_before(bytes, stream.cursor, at);
    const bool moved = line != stream.cursor;
    stream.cursor = line;
    return moved ? Passed::some : Passed::none;
}

constexpr KeywordStarts encoding_keyword = keyword_starts({"ENCODING"});

}  // namespace

bool find_keyword_piece(FontStream& stream, const KeywordStarts& starts) {
    while (buffer_piece(stream)) {
        if (piece_begins_keyword(stream, starts)) return true;
        const Passed passed = pass_short_pieces(stream, starts);
        if (passed == Passed::to_keyword) return true;
        if (passed == Passed::none) stream.cursor += piece_size(stream);
    }
    return false;
}

bool read_next_encoding(FontStream& stream, std::int32_t& encoding) {
    while (find_keyword_piece(stream, encoding_keyword)) {
        std::int32_t value;
        const std::size_t plain = read_plain_numbers(stream.buffer + stream.cursor, stream.filled - stream.cursor,
                                                     "ENCODING", &value, 1);
        char line[line_capacity];
        if (plain != 0) {
            stream.cursor += plain;
        } else if (!read_line(stream, line) || !scan_keyword_number(line, "ENCODING", value)) {
            continue;
        }
        encoding = value;
        return true;
    }
    return false;
}
