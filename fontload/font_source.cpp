// Reading a font through FreeType: open a face from memory (through a gzip
// stream when the bytes are gzip-compressed), choose the face, strike or
// pixel size, read the numbering properties, and copy every encoded glyph
// the caller wants as a monochrome bitmap.
#include "font_source.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "freetype_session.h"
#include "outline_metrics.h"
#include "platform.h"

#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_BITMAP_H
#include FT_FONT_FORMATS_H
#include FT_WINFONTS_H

namespace {

// More codes than any real font holds; a character map claiming more is
// refused rather than walked for hours.
constexpr long max_codes = long{1} << 21;
constexpr int max_faces_tried = 64;

// A strike of a bitmap font's height: pixel_size if it has one, else its
// first; -1 when the face has none.
int choose_strike(FT_Face face, int pixel_size) {
    if (face->num_fixed_sizes <= 0) return -1;
    for (int strike = 0; strike < face->num_fixed_sizes; ++strike) {
        if (face->available_sizes[strike].height == pixel_size) return strike;
    }
    for (int strike = 0; strike < face->num_fixed_sizes; ++strike) {
        if ((face->available_sizes[strike].y_ppem + 32) >> 6 == pixel_size) return strike;
    }
    return 0;
}

bool strike_has_height(FT_Face face, int strike, int pixel_size) {
    const FT_Bitmap_Size& size = face->available_sizes[strike];
    return size.height == pixel_size || (size.y_ppem + 32) >> 6 == pixel_size;
}

void copy_property(char (&target)[property_capacity], const char* text) {
    std::snprintf(target, property_capacity, "%s", text != nullptr ? text : "");
}

int clamp_int(long long value) {
    if (value > 0x7FFFFFFF) return 0x7FFFFFFF;
    if (value < -0x7FFFFFFF) return -0x7FFFFFFF;
    return static_cast<int>(value);
}

bool is_bdf_face(FT_Face face) {
    const char* encoding = nullptr;
    const char* registry = nullptr;
    return FT_Get_BDF_Charset_ID(face, &encoding, &registry) == 0;
}

// A BDF integer property, if the font has it.
bool integer_property(FT_Face face, const char* name, int& value) {
    BDF_PropertyRec property;
    if (FT_Get_BDF_Property(face, name, &property) != 0) return false;
    if (property.type == BDF_PROPERTY_TYPE_INTEGER) {
        value = property.u.integer;
    } else if (property.type == BDF_PROPERTY_TYPE_CARDINAL) {
        value = clamp_int(property.u.cardinal);
    } else {
        return false;
    }
    return true;
}

// A Windows font's character set as the registry and encoding of the same
// character set in a bitmap font.
void name_windows_charset(FT_Byte charset, SourceFont& font) {
    static const struct {
        int charset;
        const char* registry;
        const char* encoding;
    } names[] = {
        {FT_WinFNT_ID_CP1252, "microsoft", "cp1252"}, {FT_WinFNT_ID_DEFAULT, "microsoft", "cp1252"},
        {FT_WinFNT_ID_MAC, "apple", "roman"},         {FT_WinFNT_ID_CP932, "jisx0201.1976", "0"},
        {FT_WinFNT_ID_CP1253, "microsoft", "cp1253"}, {FT_WinFNT_ID_CP1254, "microsoft", "cp1254"},
        {FT_WinFNT_ID_CP1258, "microsoft", "cp1258"}, {FT_WinFNT_ID_CP1255, "microsoft", "cp1255"},
        {FT_WinFNT_ID_CP1256, "microsoft", "cp1256"}, {FT_WinFNT_ID_CP1257, "microsoft", "cp1257"},
        {FT_WinFNT_ID_CP1251, "microsoft", "cp1251"}, {FT_WinFNT_ID_CP1250, "microsoft", "cp1250"},
        {FT_WinFNT_ID_OEM, "ibm", "cp437"},
    };
    for (const auto& name : names) {
        if (name.charset == charset) {
            copy_property(font.registry, name.registry);
            copy_property(font.encoding, name.encoding);
            return;
        }
    }
    copy_property(font.registry, "microsoft-charset");
    std::snprintf(font.encoding, property_capacity, "%d", charset);
}

// Whether an outline font carries a bitmap strike of strike_size pixels,
// drawn dot for dot by its designer.
bool has_strike(FT_Face face, int strike_size) {
    for (int strike = 0; strike_size > 0 && strike < face->num_fixed_sizes; ++strike) {
        if (strike_has_height(face, strike, strike_size)) return true;
    }
    return false;
}

// Sets up the face: its size, character map and numbering properties.
SourceResult prepare_face(FT_Face face, const FontRequest& request, SourceFont& font) {
    font.scalable = FT_IS_SCALABLE(face);
    font.registry[0] = '\0';
    font.encoding[0] = '\0';
    const int pixel_size = request.pixel_size;
    if (font.scalable) {
        const bool strike = has_strike(face, request.strike_size);
        const int size = strike ? request.strike_size : pixel_size > 0 ? pixel_size : 16;
        const int width = strike || request.pixel_width <= 0 ? size : request.pixel_width;
        if (const FT_Error error = FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(width), static_cast<FT_UInt>(size))) {
            return {SourceError::freetype, error};
        }
        derive_outline_metrics(face, size, font);
        font.pixel_size = size;
        font.pixel_width = width;
    } else {
        const int strike = choose_strike(face, pixel_size);
        if (strike < 0) return {SourceError::freetype, FT_Err_Invalid_Pixel_Size};
        if (const FT_Error error = FT_Select_Size(face, strike)) return {SourceError::freetype, error};
        font.ascent = clamp_int((face->size->metrics.ascender + 32) >> 6);
        font.descent = clamp_int((-face->size->metrics.descender + 32) >> 6);
        integer_property(face, "FONT_ASCENT", font.ascent);
        integer_property(face, "FONT_DESCENT", font.descent);
        if (font.ascent < 0 || font.descent < 0 || font.ascent > max_font_height - font.descent) {
            return {SourceError::bad_metrics, 0};
        }
        // BDF and PCF fonts name their size (else their box is it); other
        // bitmap fonts have their strike's.
        const int strike_size = static_cast<int>((face->available_sizes[strike].y_ppem + 32) >> 6);
        font.pixel_size = is_bdf_face(face) || strike_size <= 0 ? font.ascent + font.descent : strike_size;
        int named_size = 0;
        if (integer_property(face, "PIXEL_SIZE", named_size) && named_size > 0) font.pixel_size = named_size;
        font.pixel_width = font.pixel_size;
    }

    const char* registry = nullptr;
    const char* encoding = nullptr;
    FT_WinFNT_HeaderRec windows_header;
    font.unicode_cmap = false;
    if (FT_Get_BDF_Charset_ID(face, &encoding, &registry) == 0) {
        copy_property(font.registry, registry);
        copy_property(font.encoding, encoding);
    } else if (FT_Get_WinFNT_Header(face, &windows_header) == 0) {
        name_windows_charset(windows_header.charset, font);
    } else {
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) return {SourceError::no_unicode_map, 0};
        font.unicode_cmap = true;
        return {SourceError::none, 0};
    }
    if (face->num_charmaps > 0) FT_Set_Charmap(face, face->charmaps[0]);
    return {SourceError::none, 0};
}

// Copies the glyph in the slot as rows of bits, cut to max_glyph_dots. A
// glyph whose box has no bitmap behind it (a BDF glyph without BITMAP rows)
// is blank.
FT_Error copy_bitmap(FT_Library library, FT_GlyphSlot slot, GlyphBitmap& glyph) {
    FT_Bitmap gray;
    FT_Bitmap_Init(&gray);
    if (slot->bitmap.buffer == nullptr) {
        gray.width = slot->bitmap.width;
        gray.rows = slot->bitmap.rows;
    } else if (const FT_Error error = FT_Bitmap_Convert(library, &slot->bitmap, &gray, 1)) {
        FT_Bitmap_Done(library, &gray);
        return error;
    }
    const int width = gray.width < unsigned{max_glyph_dots} ? static_cast<int>(gray.width) : max_glyph_dots;
    const int height = gray.rows < unsigned{max_glyph_dots} ? static_cast<int>(gray.rows) : max_glyph_dots;
    const int row_bytes = (width + 7) / 8;
    glyph.width = width;
    glyph.height = height;
    glyph.x_offset = slot->bitmap_left;
    glyph.y_offset = clamp_int(static_cast<long long>(slot->bitmap_top) - static_cast<long long>(gray.rows));
    glyph.advance = clamp_int((slot->advance.x + 32) >> 6);
    glyph.rows.assign(static_cast<std::size_t>(row_bytes) * height, 0);
    const int levels = gray.num_grays > 0 ? gray.num_grays : 2;
    for (int y = 0; y < height && gray.buffer != nullptr; ++y) {
        const unsigned char* source = gray.buffer + static_cast<long>(y) * gray.pitch;
        for (int x = 0; x < width; ++x) {
            if (source[x] * 2 >= levels) {
                glyph.rows[static_cast<std::size_t>(y) * row_bytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    FT_Bitmap_Done(library, &gray);
    return 0;
}

// FreeType numbers a BDF font's glyphs 1, 2, ... in ascending order of
// their codes, but its character map keeps those numbers in 16 bits: past
// the 65,535th glyph they wrap around, and every 65,536th code comes out
// with glyph number 0, which ends a plain walk of the map. A walk of a BDF
// font therefore counts the glyph numbers itself, and takes such a code up
// again as the first code after which the map goes on. FreeType takes no
// BDF code beyond Unicode's.
constexpr FT_ULong bdf_code_limit = 0x110000;

struct CodeWalk {
    FT_Face face;
    bool counting;     // a BDF face: glyph numbers counted, not taken from the map
    FT_ULong code;
    FT_UInt glyph;     // the glyph of code; 0 once the walk is over
    FT_UInt ordinal;   // how many codes the walk has reached
};

bool is_bdf_text(FT_Face face) {
    const char* format = FT_Get_Font_Format(face);
    return format != nullptr && std::strcmp(format, "BDF") == 0;
}

// The code whose glyph number the map gives as 0: the first one past after
// from which the map reaches a further code.
bool find_hidden_code(FT_Face face, FT_ULong after, FT_ULong& code) {
    for (FT_ULong next = after + 1; next < bdf_code_limit; ++next) {
        FT_UInt glyph = 0;
        FT_Get_Next_Char(face, next, &glyph);
        if (glyph != 0) {
            code = next;
            return true;
        }
    }
    return false;
}

void step_walk(CodeWalk& walk) {
    FT_UInt reported = 0;
    const FT_ULong previous = walk.code;
    walk.code = walk.ordinal == 0 ? FT_Get_First_Char(walk.face, &reported)
                                  : FT_Get_Next_Char(walk.face, walk.code, &reported);
    ++walk.ordinal;
    if (!walk.counting) {
        walk.glyph = reported;
    } else if (reported == 0) {
        const bool hidden = walk.ordinal % 0x10000 == 0 && find_hidden_code(walk.face, previous, walk.code);
        walk.glyph = hidden ? walk.ordinal : 0;
    } else {
        walk.glyph = reported == (walk.ordinal & 0xFFFF) ? walk.ordinal : reported;
    }
}

// Glyphs a BDF walk could not reach: where the map's last code is one it
// gives as glyph 0, nothing names that code. Slots FreeType keeps for
// glyphs the font announced but lacks have neither box nor width.
int count_codeless_glyphs(const CodeWalk& walk) {
    int codeless = 0;
    if (!walk.counting || walk.ordinal % 0x10000 != 0) return 0;
    for (FT_Long glyph = walk.ordinal; glyph < walk.face->num_glyphs; ++glyph) {
        if (FT_Load_Glyph(walk.face, static_cast<FT_UInt>(glyph), FT_LOAD_DEFAULT) != 0) continue;
        const FT_Glyph_Metrics& metrics = walk.face->glyph->metrics;
        codeless += metrics.width != 0 || metrics.height != 0 || metrics.horiAdvance != 0;
    }
    return codeless;
}

// Renders one glyph into font.bitmaps within the caller's budget.
SourceResult copy_glyph(Session& session, FT_UInt glyph_index, std::size_t budget, SourceFont& font) {
    const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO;
    if (const FT_Error error = FT_Load_Glyph(session.face, glyph_index, flags)) {
        return freetype_failure(session, error);
    }
    GlyphBitmap glyph;
    if (const FT_Error error = copy_bitmap(session.library, session.face->glyph, glyph)) {
        return freetype_failure(session, error);
    }
    font.bitmap_bytes += glyph.rows.size() + sizeof glyph;
    if (font.bitmap_bytes > budget) return {SourceError::too_big, 0};
    font.bitmaps.push_back(std::move(glyph));
    return {SourceError::none, 0};
}

// Every encoded glyph of the face the caller wants, each glyph image
// copied once however many codes show it.
SourceResult copy_glyphs(Session& session, const FontRequest& request, SourceFont& font) {
    std::map<FT_UInt, int> bitmap_of_glyph;
    const std::size_t budget = request.bitmap_budget < max_bitmap_bytes ? request.bitmap_budget : max_bitmap_bytes;
    CodeWalk walk = {session.face, is_bdf_text(session.face), 0, 0, 0};
    for (step_walk(walk); walk.glyph != 0 && walk.code <= 0x7FFFFFFF; step_walk(walk)) {
        if (static_cast<long>(font.glyphs.size()) >= max_codes) return {SourceError::too_big, 0};
        const std::int64_t code = static_cast<std::int64_t>(walk.code);
        int bitmap = -1;
        if (request.wanted == nullptr || request.wanted(request.context, font, code)) {
            auto known = bitmap_of_glyph.find(walk.glyph);
            if (known == bitmap_of_glyph.end()) {
                const SourceResult copied = copy_glyph(session, walk.glyph, budget, font);
                if (copied.error != SourceError::none) return copied;
                known = bitmap_of_glyph.emplace(walk.glyph, static_cast<int>(font.bitmaps.size()) - 1).first;
            }
            bitmap = known->second;
        }
        font.glyphs.push_back({code, bitmap});
    }
    font.codeless = count_codeless_glyphs(walk);
    return {SourceError::none, 0};
}

// Opens the face to read: the first, or in a file of several bitmap faces
// (a .fon of several sizes) the first with a strike of pixel_size.
FT_Error open_best_face(Session& session, int pixel_size) {
    if (const FT_Error error = open_face(session, 0)) return error;
    FT_Face face = session.face;
    if (pixel_size <= 0 || FT_IS_SCALABLE(face) || face->num_faces <= 1) return 0;
    const int strike = choose_strike(face, pixel_size);
    if (strike >= 0 && strike_has_height(face, strike, pixel_size)) return 0;
    const long faces = face->num_faces < max_faces_tried ? face->num_faces : max_faces_tried;
    for (long index = 1; index < faces; ++index) {
        if (open_face(session, index) != 0) continue;
        const int other = choose_strike(session.face, pixel_size);
        if (!FT_IS_SCALABLE(session.face) && other >= 0 && strike_has_height(session.face, other, pixel_size)) {
            return 0;
        }
    }
    return open_face(session, 0);
}

}  // namespace

SourceResult read_font_memory(const std::uint8_t* data, std::size_t size, const FontRequest& request,
                              SourceFont& font) {
    font = SourceFont{};
    if (size > max_source_size) return {SourceError::too_big, 0};
    if (size == 0) return {SourceError::empty, 0};
    Session session;
    if (const FT_Error error = start_library(session)) return freetype_failure(session, error);
    session.bytes.base = const_cast<unsigned char*>(data);
    session.bytes.size = static_cast<unsigned long>(size);
    session.bytes.memory = &session.memory;
    session.compressed = size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
    if (const FT_Error error = open_best_face(session, request.pixel_size)) return refused_face(session, error);
    const SourceResult prepared = prepare_face(session.face, request, font);
    if (prepared.error == SourceError::freetype) return freetype_failure(session, prepared.freetype_error);
    if (prepared.error != SourceError::none) return prepared;
    return copy_glyphs(session, request, font);
}

SourceResult read_font_memory(const std::uint8_t* data, std::size_t size, int pixel_size,
                              SourceFont& font) {
    const FontRequest request = {pixel_size, 0, 0, max_bitmap_bytes, nullptr, nullptr};
    return read_font_memory(data, size, request, font);
}

SourceResult read_font_file(const char* name, const FontRequest& request, SourceFont& font) {
    const bool standard_input = std::strcmp(name, "-") == 0;
    if (standard_input) use_binary_standard_input();
    std::FILE* file = standard_input ? stdin : std::fopen(name, "rb");
    if (file == nullptr) return {SourceError::cannot_open, 0};
    std::vector<std::uint8_t> bytes;
    std::uint8_t piece[65536];
    bool too_big = false;
    std::size_t count;
    while ((count = std::fread(piece, 1, sizeof piece, file)) > 0) {
        if (bytes.size() + count > max_source_size) {
            too_big = true;
            break;
        }
        bytes.insert(bytes.end(), piece, piece + count);
    }
    const bool failed = std::ferror(file) != 0;
    if (!standard_input) std::fclose(file);
    if (too_big) return {SourceError::too_big, 0};
    if (failed) return {SourceError::cannot_open, 0};
    return read_font_memory(bytes.data(), bytes.size(), request, font);
}

std::string source_error_message(const char* name, const SourceResult& result, const SourceFont& font) {
    const std::string prefix = std::string(name) + ": ";
    switch (result.error) {
    case SourceError::none: break;
    case SourceError::cannot_open: return "cannot open " + std::string(name);
    case SourceError::empty: return prefix + "empty file";
    case SourceError::too_big: return prefix + "too big (over 256 MiB of file or 64 MiB of glyphs)";
    case SourceError::out_of_memory: return "out of memory";
    case SourceError::damaged_pcf: return prefix + "truncated or damaged PCF font";
    case SourceError::freetype: return prefix + "not a readable font: " + freetype_error_text(result.freetype_error);
    case SourceError::no_unicode_map: return prefix + "outline font without a Unicode character map";
    case SourceError::bad_metrics:
        return prefix + "FONT_ASCENT " + std::to_string(font.ascent) + " and FONT_DESCENT " +
               std::to_string(font.descent) + " give no usable height";
    }
    return "";
}
