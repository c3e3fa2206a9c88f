// A contact sheet written as a PNG file.
#pragma once
#include "contact_sheet.h"

// Writes sheet to path, replacing any file there. False when the file
// cannot be created or written; a partly written regular file is removed.
bool write_png_file(const char* path, const Sheet& sheet);
