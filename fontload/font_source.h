// Reading one font file through FreeType into plain glyph records: bitmap
// fonts (BDF, PCF, either gzip-compressed, Windows .fon/.fnt) and embedded
// bitmap strikes dot for dot, outline fonts (TrueType, OpenType and their
// collections) rendered monochrome with the font's hinting, square or at an
// em narrower than high. Only the .cpp files of this folder see FreeType.
//
// Limits: a font file of more than max_source_size bytes is refused, and so
// is one for which FreeType would hold more than max_freetype_bytes (it
// reserves memory for every glyph box a font declares, however few bytes
// the file has); a glyph larger than max_glyph_dots in either direction
// keeps its top-left part; glyphs whose bitmaps pass the caller's share of
// max_bitmap_bytes are refused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t max_source_size = std::size_t{256} << 20;
constexpr int max_glyph_dots = 256;
constexpr std::size_t max_bitmap_bytes = std::size_t{64} << 20;
constexpr std::size_t max_freetype_bytes = std::size_t{64} << 20;
constexpr int max_pixel_size = 256;
constexpr int max_font_height = 4096;
constexpr int property_capacity = 64;

// One glyph image with its BDF metrics.
struct GlyphBitmap {
    int width;   // BBX width, height, x-offset and y-offset
    int height;
    int x_offset;
    int y_offset;
    int advance;                     // DWIDTH
    std::vector<std::uint8_t> rows;  // height rows of (width + 7) / 8 bytes, bit 7 leftmost
};

// A character code of the font's own numbering and the glyph it shows.
struct CodedGlyph {
    std::int64_t code;
    int bitmap;  // index into SourceFont::bitmaps, -1 when the caller did not want its glyph
};

struct SourceFont {
    bool scalable;       // rendered at the pixel size asked for
    bool unicode_cmap;   // codes are Unicode code points (outline and sfnt fonts)
    int pixel_size;      // nominal size: PIXEL_SIZE, the strike's, or the size rendered at
    int pixel_width;     // an outline font's em across as rendered; pixel_size for bitmap fonts
    int ascent;          // FONT_ASCENT and FONT_DESCENT, the box the converters scale by
    int descent;
    char registry[property_capacity];  // CHARSET_REGISTRY and CHARSET_ENCODING, empty if none
    char encoding[property_capacity];
    std::vector<GlyphBitmap> bitmaps;
    std::vector<CodedGlyph> glyphs;  // ascending by code
    std::size_t bitmap_bytes;        // what the bitmaps take, as counted against the limit
    int codeless;                    // glyphs FreeType gives no code for (see copy_glyphs)
};

enum class SourceError {
    none,
    cannot_open,     // the file cannot be read
    empty,           // the file holds no byte
    too_big,         // the file, FreeType's memory for it or its bitmaps pass the limits above
    out_of_memory,   // the system gave FreeType no more memory
    damaged_pcf,     // a PCF font (perhaps gzip-compressed) FreeType cannot read: cut short or damaged
    freetype,        // FreeType refused the font or one of its glyphs
    no_unicode_map,  // an outline font without a Unicode character map
    bad_metrics,     // a negative ascent or descent, or a height beyond max_font_height
};

struct SourceResult {
    SourceError error;
    int freetype_error;  // for SourceError::freetype
};

// What to read of a font. pixel_size is the height to render outline fonts
// at (their em, ascent plus descent) and to prefer among the strikes and
// faces of a bitmap font file; 0 takes a bitmap font's first strike. wanted, called with the font's
// numbering properties already read, says which codes' glyphs to copy (a
// null wanted: every code's); the others are listed without a bitmap.
struct FontRequest {
    int pixel_size;
    int pixel_width;  // outline fonts' em across, for cells narrower than high; 0: pixel_size
    int strike_size;  // an outline font with a bitmap strike of this size is read at it instead; 0: none
    std::size_t bitmap_budget;  // most the copied bitmaps may take, at most max_bitmap_bytes
    bool (*wanted)(void* context, const SourceFont& font, std::int64_t code);
    void* context;
};

// Reads the font named name ("-" for standard input).
SourceResult read_font_file(const char* name, const FontRequest& request, SourceFont& font);

// The same for a font already in memory.
SourceResult read_font_memory(const std::uint8_t* data, std::size_t size, const FontRequest& request,
                              SourceFont& font);

// Every glyph of a font in memory, within max_bitmap_bytes.
SourceResult read_font_memory(const std::uint8_t* data, std::size_t size, int pixel_size,
                              SourceFont& font);

// FreeType's description of one of its error codes.
const char* freetype_error_text(int error);

// The line that tells why the font named name could not be read: "out of
// memory", "cannot open NAME", or "NAME: " and what is wrong with it.
std::string source_error_message(const char* name, const SourceResult& result, const SourceFont& font);
