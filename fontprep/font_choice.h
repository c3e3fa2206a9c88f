// What fontprep decides about each font it reads: whether the converters can
// use it beside the fonts before it, and the registry of the font written.
#pragma once
#include <string>

#include "bdf_writer.h"
#include "font_source.h"
#include "merge.h"
#include "numbering.h"

// Why a font read cannot go into the font written, or "" when it can: it
// says nothing of its numbering, is numbered by an unknown character set,
// or has another pixel size than pixel_size (size_asked: -s gave it).
std::string font_refusal(const char* name, const SourceFont& font, SourceNumbering numbering, int pixel_size,
                         bool size_asked);

// The registry and encoding written: Unicode fonts say ISO10646-1; a JIS
// font keeps the first font's registry if it is a JIS one, and says JIS X
// 0213 once it holds characters beyond JIS X 0208.
void choose_registry(const GlyphTable& table, const SourceFont& first, Numbering output, BdfProperties& properties);
