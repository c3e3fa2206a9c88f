/* Reference point: FreeType parses the whole BDF font and loads every glyph. */
#include <ft2build.h>
#include FT_FREETYPE_H

int main(int argc, char** argv) {
    FT_Library library;
    FT_Face face;
    if (argc != 2 || FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) return 1;
    for (FT_Long index = 0; index < face->num_glyphs; ++index) {
        if (FT_Load_Glyph(face, (FT_UInt)index, FT_LOAD_RENDER)) return 1;
    }
    return FT_Done_Face(face) || FT_Done_FreeType(library);
}
