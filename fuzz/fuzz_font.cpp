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
    char padding[max_padding_lines * padding_line_bytes];
};

ScratchFont& scratch_font() {
    static ScratchFont font = [] {
        ScratchFont made{};
        made.descriptor = memfd_create("fuzz_font", 0);
        std::snprintf(made.path, sizeof made.path, "/proc/self/fd/%d", made.descriptor);
        for (std::size_t i = 0; i < max_padding_lines; ++i) {
            char* line = made.padding + i * padding_line_bytes;
            std::memset(line, 'x', padding_line_bytes - 1);
            std::memcpy(line, "COMMENT ", 8);
            line[padding_line_bytes - 1] = '\n';
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
                    std::size_t padding_lines) {
    ScratchFont& font = scratch_font();
    const std::size_t padding_bytes = padding_lines * padding_line_bytes;
    if (font.descriptor < 0 || padding_lines > max_padding_lines || ftruncate(font.descriptor, 0) != 0 ||
        !write_at(font.descriptor, font.padding, padding_bytes, 0) ||
        !write_at(font.descriptor, data, size, static_cast<off_t>(padding_bytes))) {
        return false;
    }
    return open_font_stream(stream, font.path);
}
