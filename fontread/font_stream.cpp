#include "font_stream.h"

#include <cstring>

#include "platform.h"

namespace {

constexpr int piece_chars = line_capacity - 1;
// A piece may take one raw byte more than it has characters: the CR of a
// closing CR LF. Refilling ahead of that lets every piece be cut from one
// contiguous run of the buffer.
constexpr std::size_t piece_raw_bytes = piece_chars + 2;

// Moves the unread bytes to the front of the buffer and reads more after them.
void refill(FontStream& stream) {
    const std::size_t unread = stream.filled - stream.cursor;
    std::memmove(stream.buffer, stream.buffer + stream.cursor, unread);
    stream.buffer_position += static_cast<std::int64_t>(stream.cursor);
    stream.cursor = 0;
    stream.filled = unread;
    while (!stream.end_of_file && stream.filled < font_buffer_size) {
        const std::size_t got = std::fread(stream.buffer + stream.filled, 1,
                                           font_buffer_size - stream.filled, stream.file);
        stream.filled += got;
        if (stream.buffer_position + static_cast<std::int64_t>(stream.filled) >= max_font_size) {
            stream.end_of_file = true;
            stream.read_failed = true;
        } else if (got == 0) {
            stream.end_of_file = true;
            stream.read_failed = std::ferror(stream.file) != 0;
        }
    }
}

void start_reading_at(FontStream& stream, std::int64_t position) {
    stream.buffer_position = position;
    stream.cursor = 0;
    stream.filled = 0;
    stream.end_of_file = false;
    if (!seek_file(stream.file, position)) {
        stream.end_of_file = true;
        stream.read_failed = true;
    }
}

// Copies a font that cannot be read twice (a pipe) to an anonymous
// temporary file, which the system removes when it is closed.
std::FILE* spool(std::FILE* source) {
    std::FILE* copy = create_anonymous_file();
    if (copy == nullptr) return nullptr;
    static unsigned char chunk[64 * 1024];
    std::int64_t copied = 0;
    std::size_t got;
    while (copied < max_font_size && (got = std::fread(chunk, 1, sizeof chunk, source)) > 0) {
        if (std::fwrite(chunk, 1, got, copy) != got) break;
        copied += static_cast<std::int64_t>(got);
    }
    if (copied >= max_font_size || std::ferror(source) || std::ferror(copy) || std::fflush(copy) != 0) {
        std::fclose(copy);
        return nullptr;
    }
    return copy;
}

}  // namespace

bool open_font_stream(FontStream& stream, const char* name) {
    const bool standard_input = std::strcmp(name, "-") == 0;
    if (standard_input) use_binary_standard_input();
    stream.file = standard_input ? stdin : open_font_file(name);
    stream.owns_file = !standard_input;
    // A regular file too large for a font is refused before any reading.
    if (stream.file != nullptr && regular_file_size(stream.file) >= max_font_size) {
        close_font_stream(stream);
        return false;
    }
    if (stream.file != nullptr && !is_seekable(stream.file)) {
        std::FILE* copy = spool(stream.file);
        if (stream.owns_file) std::fclose(stream.file);
        stream.file = copy;
        stream.owns_file = true;
    }
    if (stream.file == nullptr) return false;
    stream.read_failed = false;
    start_reading_at(stream, 0);
    refill(stream);
    if (stream.read_failed) {
        close_font_stream(stream);
        return false;
    }
    return true;
}

void close_font_stream(FontStream& stream) {
    if (stream.file != nullptr && stream.owns_file) std::fclose(stream.file);
    stream.file = nullptr;
}

bool read_line(FontStream& stream, char (&line)[line_capacity]) {
    if (stream.filled - stream.cursor < piece_raw_bytes && !stream.end_of_file) refill(stream);
    const std::size_t available = stream.filled - stream.cursor;
    if (available == 0) return false;

    // Font lines are short: one copying loop beats searching, then copying.
    const unsigned char* bytes = stream.buffer + stream.cursor;
    const std::size_t window = available < piece_chars ? available : piece_chars;
    std::size_t chars = 0;
    while (chars < window) {
        const unsigned char c = bytes[chars];
        line[chars++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    std::size_t used = chars;
    if (line[chars - 1] == '\n') {
        if (chars >= 2 && line[chars - 2] == '\r') line[--chars - 1] = '\n';
    } else if (chars == piece_chars && available > piece_chars && bytes[piece_chars - 1] == '\r' &&
               bytes[piece_chars] == '\n') {
        // 98 characters and a CR LF: the line ending still fits the piece.
        line[chars - 1] = '\n';
        used = piece_chars + 1;
    }
    line[chars] = '\0';
    stream.cursor += used;
    return true;
}

std::int64_t tell(const FontStream& stream) {
    return stream.buffer_position + static_cast<std::int64_t>(stream.cursor);
}

void seek(FontStream& stream, std::int64_t position) {
    if (stream.read_failed) return;
    const std::int64_t offset = position - stream.buffer_position;
    if (offset >= 0 && offset <= static_cast<std::int64_t>(stream.filled)) {
        stream.cursor = static_cast<std::size_t>(offset);
        return;
    }
    start_reading_at(stream, position);
}

void rewind(FontStream& stream) {
    seek(stream, 0);
}
