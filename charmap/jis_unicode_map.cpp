// Lookups in the generated character map tables.
#include "jis_unicode_map.h"

#include <cctype>

std::int32_t plane_unicode(const std::int32_t* plane, std::int64_t jis) {
    const std::int64_t row = (jis >> 8) - 0x21;
    const std::int64_t cell = (jis & 0xFF) - 0x21;
    if (jis < 0 || jis > 0xFFFF || row < 0 || row >= 94 || cell < 0 || cell >= 94) return 0;
    return plane[row * 94 + cell];
}

const UnicodeJis* find_unicode_jis(std::int64_t unicode) {
    int low = 0;
    int high = unicode_jis_count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (unicode_jis[middle].unicode < unicode) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < unicode_jis_count && unicode_jis[low].unicode == unicode) return &unicode_jis[low];
    return nullptr;
}

namespace {

bool same_name(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

const CodePage* find_code_page(const char* name) {
    for (int index = 0; index < code_page_count; ++index) {
        if (same_name(code_pages[index].name, name)) return &code_pages[index];
    }
    return nullptr;
}
