#include "fuzz_font.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t padding_line_bytes = 80;

// An anonymous in-memory file, reopened by name through /proc for every
// input, so nothing is left on disk and parallel runs never share a file.
struct ScratchFont {
    int descriptor;
    char path[32];
    char padding[max_padding_bytes];
};

ScratchFont& scratch_font() {
    static ScratchFont font = [] {
        ScratchFont made{};
        made.descriptor = memfd_create("fuzz_font", 0);
        std::snprintf(made.path, sizeof made.path, "/proc/self/fd/%d", made.descriptor);
        for (std::size_t i = 0; i < max_padding_bytes; ++i) {
            const std::size_t column = i % padding_line_bytes;
            made.padding[i] = column < 8 ? "COMMENT "[column] : column == padding_line_bytes - 1 ? '\n' : 'x';
        }
        return made;
    }();
    return font;
}

bool write_at(int descriptor, const void* bytes, std::size_t size, off_t offset) {
    return size == 0 || pwrite(descriptor, bytes, size, offset) == static_cast<ssize_t>(size);
}

}  // namespace

// The code under test allocates nothing; only the C library's file stream
// does, once per input. Without the freed-memory quarantine and the fill of
// new blocks that allocation would take most of each run.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=1:max_malloc_fill_size=0";
}

bool open_fuzz_font(FontStream& stream, const std::uint8_t* data, std::size_t size,
                    std::size_t padding_bytes) {
    ScratchFont& font = scratch_font();
    if (font.descriptor < 0 || padding_bytes > max_padding_bytes || ftruncate(font.descriptor, 0) != 0) {
        return false;
    }
    static const char newline = '\n';
    const off_t input_start = static_cast<off_t>(padding_bytes);
    if (!write_at(font.descriptor, font.padding, padding_bytes, 0) ||
        (padding_bytes > 0 && !write_at(font.descriptor, &newline, 1, input_start - 1)) ||
        !write_at(font.descriptor, data, size, input_start)) {
        return false;
    }
    return open_font_stream(stream, font.path);
}

HeaderScan scan_header(FontStream& stream, bool accept_unknown_charset) {
    static const EncodingSet none{};
    static GlyphRecord record;
    return scan_font_header(stream, accept_unknown_charset, none, record);
}
