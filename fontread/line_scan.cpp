#include "line_scan.h"

#include <climits>

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

const char* skip_space(const char* text) {
    while (is_space(*text)) ++text;
    return text;
}

// Every byte's value as a hexadecimal digit, -1 for the others: one load a
// digit of every bitmap row.
constexpr struct HexValues {
    std::int8_t of[256];
} hex_values = [] {
    HexValues values{};
    for (int c = 0; c < 256; ++c) {
        values.of[c] = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                     : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    }
    return values;
}();

int hex_value(char c) {
    return hex_values.of[static_cast<unsigned char>(c)];
}

// One decimal number with an optional sign, saturated to 32 bits; returns
// the text after it, or null when no digit follows.
const char* scan_number(const char* text, std::int32_t& value) {
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (!is_digit(*text)) return nullptr;
    const std::int64_t limit = negative ? -std::int64_t{INT32_MIN} : INT32_MAX;
    std::int64_t magnitude = 0;
    for (; is_digit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return text;
}

// Bit of the digits' plain value, ignoring the sign.
bool magnitude_bit(const HexRow& row, std::int64_t bit) {
    const std::int64_t digit = bit / 4;
    if (digit >= row.digit_count) return false;
    return (hex_value(row.digits[row.digit_count - 1 - digit]) >> (bit % 4)) & 1;
}

// Whether any bit of the plain value below `bit` is set.
bool magnitude_has_bit_below(const HexRow& row, std::int64_t bit) {
    for (std::int64_t b = 0; b < bit && b < 4 * std::int64_t{row.digit_count}; ++b) {
        if (magnitude_bit(row, b)) return true;
    }
    return false;
}

}  // namespace

int scan_numbers(const char* text, std::int32_t* values, int count) {
    text = skip_space(text);
    if (*text == '\0') return -1;
    int read = 0;
    while (read < count) {
        text = scan_number(skip_space(text), values[read]);
        if (text == nullptr) break;
        ++read;
    }
    return read;
}

bool scan_word(const char* text, char (&word)[line_capacity]) {
    text = skip_space(text);
    int length = 0;
    while (text[length] != '\0' && !is_space(text[length])) {
        word[length] = text[length];
        ++length;
    }
    word[length] = '\0';
    return length > 0;
}

HexRow scan_hex_row(const char* line) {
    HexRow row{};
    const char* text = skip_space(line);
    row.negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && hex_value(text[2]) >= 0) text += 2;
    row.digits = text;
    // Shifting in every digit leaves the last 16 in the low bits.
    for (int digit; (digit = hex_value(text[row.digit_count])) >= 0; ++row.digit_count) {
        row.low = row.low << 4 | static_cast<std::uint64_t>(digit);
    }
    if (row.negative) row.low = ~row.low + 1;
    return row;
}

bool hex_row_bit(const HexRow& row, std::int64_t bit) {
    if (bit < 64) return (row.low >> bit) & 1;
    // Two's complement of a wider number: bits up to the lowest set bit are
    // as in the magnitude, every bit above it is inverted.
    const bool plain = magnitude_bit(row, bit);
    if (!row.negative) return plain;
    return magnitude_has_bit_below(row, bit) ? !plain : plain;
}
