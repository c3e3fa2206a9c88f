// The hexadecimal digits 0-9 and A-F and the few more capital letters the
// legend of a difference sheet needs, as 5 x 7 dot bitmaps, for the labels
// of a contact sheet.
#pragma once
#include <cstdint>

constexpr int digit_width = 5;
constexpr int digit_height = 7;

// Row y of a digit, a capital letter the font has, or a blank for any
// other character.
std::uint8_t label_row(char character, int y);
