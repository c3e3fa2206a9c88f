// A contact sheet encoded as a PNG file's bytes.
#pragma once
#include <cstdint>
#include <vector>

#include "contact_sheet.h"

// False when the encoder fails.
bool encode_png(const Sheet& sheet, std::vector<std::uint8_t>& png);
