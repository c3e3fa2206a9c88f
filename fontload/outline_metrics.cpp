#include "outline_metrics.h"

#include FT_TRUETYPE_TABLES_H

namespace {

// The typographic ascender and descender of the OS/2 table where they span
// the em, as they do in CJK fonts, whose ideographs fill that box; else the
// face's (the hhea table's), which also make room for accents.
void outline_extent(FT_Face face, long long& above, long long& below) {
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->sTypoAscender > 0 && os2->sTypoDescender <= 0 &&
        os2->sTypoAscender - os2->sTypoDescender == face->units_per_EM) {
        above = os2->sTypoAscender;
        below = -static_cast<long long>(os2->sTypoDescender);
        return;
    }
    above = face->ascender > 0 ? face->ascender : 0;
    below = face->descender < 0 ? -static_cast<long long>(face->descender) : 0;
}

}  // namespace

void derive_outline_metrics(FT_Face face, int pixel_size, SourceFont& font) {
    long long above = 0;
    long long below = 0;
    outline_extent(face, above, below);
    if (above + below == 0) {
        above = 7;
        below = 1;
    }
    font.ascent = static_cast<int>((2 * pixel_size * above + above + below) / (2 * (above + below)));
    font.descent = pixel_size - font.ascent;
}

