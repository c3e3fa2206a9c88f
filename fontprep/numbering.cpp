// Registries and code conversion; the tables themselves are in charmap/.
#include "numbering.h"

#include <cctype>
#include <cstdio>

namespace {

bool starts_with(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (std::toupper(static_cast<unsigned char>(*text)) != *prefix) return false;
    }
    return true;
}

bool is_row_cell(std::int64_t code) {
    const std::int64_t row = code >> 8;
    const std::int64_t cell = code & 0xFF;
    return code >= 0 && code <= 0xFFFF && row >= 0x21 && row <= 0x7E && cell >= 0x21 && cell <= 0x7E;
}

// Row 13 of JIS X 0208 is empty, but JIS X 0208 fonts commonly fill it
// with the circled numbers, Roman numerals and unit symbols that JIS X 0213
// later put at the same codes.
bool is_row_13(std::int64_t code) {
    return code >> 8 == 0x2D;
}

std::int64_t to_unicode(SourceNumbering numbering, std::int64_t code) {
    switch (numbering.kind) {
    case SourceKind::jis0208:
        return is_row_13(code) ? plane_unicode(jis0213_plane1_unicode, code) : plane_unicode(jis0208_unicode, code);
    case SourceKind::jis0213_plane1: return plane_unicode(jis0213_plane1_unicode, code);
    case SourceKind::jis0213_plane2: return plane_unicode(jis0213_plane2_unicode, code);
    case SourceKind::unicode: return code > 0 && code <= 0x10FFFF ? code : 0;
    case SourceKind::code_page: return code >= 0 && code < 256 ? numbering.code_page->unicode[code] : 0;
    case SourceKind::unknown: return 0;
    }
    return 0;
}

}  // namespace

SourceNumbering classify_font(const char* registry, const char* encoding, bool unicode_cmap) {
    if (unicode_cmap || starts_with(registry, "ISO10646")) return {SourceKind::unicode, nullptr};
    if (starts_with(registry, "JISX0208")) return {SourceKind::jis0208, nullptr};
    if (starts_with(registry, "JISX0213")) {
        const bool plane2 = encoding[0] == '2' && encoding[1] == '\0';
        return {plane2 ? SourceKind::jis0213_plane2 : SourceKind::jis0213_plane1, nullptr};
    }
    char name[160];
    std::snprintf(name, sizeof name, "%s-%s", registry, encoding);
    if (const CodePage* page = find_code_page(name)) return {SourceKind::code_page, page};
    return {SourceKind::unknown, nullptr};
}

Numbering natural_numbering(SourceNumbering numbering) {
    const bool jis = numbering.kind == SourceKind::jis0208 || numbering.kind == SourceKind::jis0213_plane1;
    return jis ? Numbering::jis : Numbering::unicode;
}

OutputCode output_code(SourceNumbering numbering, std::int64_t code, Numbering output) {
    if (output == Numbering::jis && natural_numbering(numbering) == Numbering::jis) {
        return {is_row_cell(code) ? code : -1, true};
    }
    const std::int64_t unicode = to_unicode(numbering, code);
    if (unicode == 0) return {-1, true};
    if (output == Numbering::unicode) return {unicode, true};
    const UnicodeJis* jis = find_unicode_jis(unicode);
    if (jis == nullptr) return {-1, true};
    return {jis->jis, jis->primary};
}

bool is_jis0213_only(std::int64_t jis) {
    return is_row_cell(jis) && !is_row_13(jis) && plane_unicode(jis0208_unicode, jis) == 0 &&
           plane_unicode(jis0213_plane1_unicode, jis) != 0;
}
