// One pass over a font that fills a bank of 256 character cells.
#pragma once

#include "cell_image.h"
#include "code_tables.h"
#include "font_stream.h"

// Runs the header scan (an unknown registry is accepted in ASCII mode),
// then places every glyph that the bank wants: the glyph of each code by
// code_map (or, in ASCII mode, the glyph whose encoding equals the code),
// the extra symbols for cells 0x80..0x83 where the map leaves them blank,
// and the two components of each composite cell. After each use of a glyph
// the stream goes back to its ENCODING line, so one glyph serves every cell
// that names it. extras and composites may be null. The font's header scan
// result is returned; on an error the bank is left as it was.
HeaderScan collect_glyphs(FontStream& stream, bool ascii_mode, const CodeMap& code_map,
                          const std::int32_t (*extras)[extra_symbol_count],
                          const CompositeEntry* composites, int width, int height, CellBank bank);
