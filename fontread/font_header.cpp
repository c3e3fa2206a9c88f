#include "font_header.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "line_scan.h"

namespace {

// U+2E3A TWO-EM DASH and U+2E3B THREE-EM DASH are wider than any character
// cell; in a Unicode font they do not widen the font.
bool is_long_dash(std::int32_t encoding) {
    return encoding == 11834 || encoding == 11835;
}

bool equal_ignoring_case(const char* a, const char* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const char ca = static_cast<char>(std::tolower(static_cast<unsigned char>(a[i])));
        const char cb = static_cast<char>(std::tolower(static_cast<unsigned char>(b[i])));
        if (ca != cb) return false;
        if (ca == '\0') return true;
    }
    return true;
}

// The registry token keeps the quotes of the BDF string property.
enum class Registry { jis, unicode, unknown };

Registry classify_registry(const char* token) {
    if (equal_ignoring_case(token, "\"JISX0208", 9) || equal_ignoring_case(token, "\"JISX0213", 9)) {
        return Registry::jis;
    }
    if (equal_ignoring_case(token, "\"ISO10646\"", SIZE_MAX)) return Registry::unicode;
    return Registry::unknown;
}

struct ScanState {
    std::int32_t encoding = 0;
    std::int64_t minimum = 999;
    std::int64_t maximum = -1;
    bool registry_seen = false;
};

// Folds a BBX line's width and x-offset into the font's extent. A bare "BBX"
// takes part with zeros; a BBX followed by anything but numbers does not.
void fold_glyph_box(const char* values, ScanState& state, CharsetKind charset) {
    std::int32_t box[4] = {0, 0, 0, 0};
    if (scan_numbers(values, box, 4) == 0) return;
    if (charset == UNICODE && is_long_dash(state.encoding)) return;
    state.minimum = std::min({state.minimum, std::int64_t{box[0]}, std::int64_t{box[2]}});
    state.maximum = std::max({state.maximum, std::int64_t{box[0]}, std::int64_t{box[2]}});
}

std::int32_t saturate_to_int32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

HeaderScan scan_font_header(FontStream& stream, bool accept_unknown_charset) {
    HeaderScan scan{};
    scan.header = {0, -1, -1, JIS};
    ScanState state;
    char line[line_capacity];
    while (read_line(stream, line)) {
        const char* values;
        scan_keyword_number(line, "ENCODING", state.encoding);
        if ((values = after_keyword(line, "BBX"))) fold_glyph_box(values, state, scan.header.charset);
        scan_keyword_number(line, "FONT_ASCENT", scan.header.font_ascent);
        scan_keyword_number(line, "FONT_DESCENT", scan.header.font_descent);
        if ((values = after_keyword(line, "CHARSET_REGISTRY")) && scan_word(values, scan.registry)) {
            state.registry_seen = true;
            const Registry registry = classify_registry(scan.registry);
            if (registry == Registry::jis) scan.header.charset = JIS;
            if (registry == Registry::unicode) scan.header.charset = UNICODE;
            if (registry == Registry::unknown && !accept_unknown_charset) {
                scan.error = FontError::unknown_charset;
                return scan;
            }
        }
    }
    scan.header.font_width = saturate_to_int32(state.maximum - state.minimum);
    if (stream.read_failed) {
        scan.error = FontError::unreadable;
    } else if (scan.header.font_ascent < 0 || scan.header.font_descent < 0 ||
               scan.header.font_width < 0 || !state.registry_seen) {
        scan.error = FontError::illegal_bdf;
    }
    rewind(stream);
    return scan;
}
