#include "fuzz_font.h"

#include <fcntl.h>
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

// Whole comment lines of the padding, written twice over: the first time
// all of them, then as many as make the whole longer than the stream's
// buffer by more than a piece.
constexpr std::size_t trailing_comment_bytes = max_padding_bytes / padding_line_bytes * padding_line_bytes;
constexpr std::size_t more_comment_bytes =
    (font_buffer_size + piece_raw_bytes - trailing_comment_bytes) / padding_line_bytes * padding_line_bytes +
    padding_line_bytes;
static_assert(trailing_comment_bytes + more_comment_bytes > font_buffer_size + piece_raw_bytes);

bool write_all(int descriptor, const void* bytes, std::size_t size) {
    const auto* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = write(descriptor, next, size);
        if (written <= 0) return false;
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The input, a newline ending its last line, and the trailing comments.
bool write_followed_by_comments(int descriptor, const std::uint8_t* data, std::size_t size) {
    const char* comments = scratch_font().padding;
    return write_all(descriptor, data, size) && write_all(descriptor, "\n", 1) &&
           write_all(descriptor, comments, trailing_comment_bytes) &&
           write_all(descriptor, comments, more_comment_bytes);
}

// The most a pipe may hold for an ordinary user, by default.
constexpr int pipe_capacity = 1 << 20;

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

bool open_fuzz_font_followed_by_comments(FontStream& stream, const std::uint8_t* data, std::size_t size) {
    ScratchFont& font = scratch_font();
    if (font.descriptor < 0 || ftruncate(font.descriptor, 0) != 0 || lseek(font.descriptor, 0, SEEK_SET) != 0 ||
        !write_followed_by_comments(font.descriptor, data, size)) {
        return false;
    }
    return open_font_stream(stream, font.path);
}

bool open_fuzz_font_on_pipe(FontStream& stream, const std::uint8_t* data, std::size_t size,
                            bool followed_by_comments) {
    const std::size_t font_size = size + (followed_by_comments ? 1 + trailing_comment_bytes + more_comment_bytes : 0);
    int ends[2];
    if (font_size > static_cast<std::size_t>(pipe_capacity) || pipe(ends) != 0) return false;
    const bool written = fcntl(ends[1], F_SETPIPE_SZ, pipe_capacity) >= pipe_capacity &&
                         (followed_by_comments ? write_followed_by_comments(ends[1], data, size)
                                               : write_all(ends[1], data, size));
    close(ends[1]);
    char path[32];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", ends[0]);
    const bool opened = written && open_font_stream(stream, path);
    close(ends[0]);
    return opened;
}

HeaderScan scan_header(FontStream& stream, bool accept_unknown_charset) {
    static const EncodingSet none{};
    static GlyphRecord record;
    return scan_font_header(stream, accept_unknown_charset, none, record);
}
