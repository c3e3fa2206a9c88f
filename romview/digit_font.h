// The hexadecimal digits 0-9 and A-F as 5 x 7 dot bitmaps, for the code
// labels along the edges of a contact sheet.
#pragma once
#include <cstdint>

constexpr int digit_width = 5;
constexpr int digit_height = 7;

// Row y of digit value (0..15): bit 4 = leftmost dot.
std::uint8_t digit_row(int value, int y);
