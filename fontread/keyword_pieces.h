// Finding the font's pieces that may begin a keyword without copying the
// others: line ends are found eight bytes at a time, and a piece stops the
// search only when its first three bytes begin one of the keywords sought.
// The pieces are those of read_line, long lines cut into 99-character
// pieces included, so a keyword that begins any piece is found.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "font_stream.h"

// The keywords a search stops at: the range of their first bytes (ASCII
// letters) and, by first byte, the two bytes that follow it, 0 where no
// keyword begins with that byte. Keywords sharing a first byte must share
// the next two as well.
struct KeywordStarts {
    unsigned char lowest_first;
    unsigned char highest_first;
    std::uint16_t next_two[256];
};

inline std::uint16_t two_bytes(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

consteval KeywordStarts keyword_starts(std::initializer_list<const char*> keywords) {
    KeywordStarts starts{'Z', 'A', {}};
    for (const char* keyword : keywords) {
        const unsigned char first = static_cast<unsigned char>(keyword[0]);
        const auto next = static_cast<std::uint16_t>(static_cast<unsigned char>(keyword[1]) |
                                                     static_cast<unsigned char>(keyword[2]) << 8);
        if (keyword[1] == '\0' || keyword[2] == '\0') throw "keywords have at least three letters";
        if (starts.next_two[first] != 0 && starts.next_two[first] != next) throw "first three letters differ";
        if (first < 'A' || first > 'Z') throw "keywords begin with a capital letter";
        if (first < starts.lowest_first) starts.lowest_first = first;
        if (first > starts.highest_first) starts.highest_first = first;
        starts.next_two[first] = next;
    }
    return starts;
}

// Whether the first three bytes at a piece begin one of the keywords.
inline bool begins_keyword(const KeywordStarts& starts, const unsigned char* piece) {
    const std::uint16_t next = starts.next_two[piece[0]];
    return next != 0 && next == two_bytes(piece + 1);
}

// Whether the buffered piece at the cursor begins one of the keywords.
inline bool piece_begins_keyword(const FontStream& stream, const KeywordStarts& starts) {
    return stream.filled - stream.cursor >= 3 && begins_keyword(starts, stream.buffer + stream.cursor);
}

// Moves the stream on to the next piece, the one at the cursor included,
// whose first three bytes begin one of the keywords; false at end of file.
// The whole piece is then in the buffer at the cursor.
bool find_keyword_piece(FontStream& stream, const KeywordStarts& starts);

// Reads on to the next "ENCODING n" piece with a number and leaves the
// stream just after it; false at end of file.
bool read_next_encoding(FontStream& stream, std::int32_t& encoding);
