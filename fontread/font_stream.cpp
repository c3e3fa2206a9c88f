#include "font_stream.h"

#include <cstring>

#include "platform.h"

namespace {

// A font on a pipe is copied to its end: its file then holds all of it.
void end_copy(FontStream& stream) {
    if (stream.pipe == nullptr) return;
    if (!stream.read_failed && std::fflush(stream.file) != 0) stream.read_failed = true;
    if (stream.owns_pipe) std::fclose(stream.pipe);
    stream.pipe = nullptr;
}

// Reads into buffer[filled..], from the pipe into its copy while one is
// being copied, else from the file.
void read_more(FontStream& stream) {
    std::FILE* from = stream.pipe != nullptr ? stream.pipe : stream.file;
    unsigned char* into = stream.buffer + stream.filled;
    const std::size_t got = std::fread(into, 1, font_buffer_size - stream.filled, from);
    const bool copied = stream.pipe == nullptr || std::fwrite(into, 1, got, stream.file) == got;
    stream.filled += got;
    if (!copied || stream.buffer_position + static_cast<std::int64_t>(stream.filled) >= max_font_size) {
        stream.end_of_file = true;
        stream.read_failed = true;
    } else if (got == 0) {
        stream.end_of_file = true;
        stream.read_failed = std::ferror(from) != 0;
    }
}

}  // namespace

void refill(FontStream& stream) {
    const std::size_t unread = stream.filled - stream.cursor;
    std::memmove(stream.buffer, stream.buffer + stream.cursor, unread);
    stream.buffer_position += static_cast<std::int64_t>(stream.cursor);
    stream.cursor = 0;
    stream.filled = unread;
    while (!stream.end_of_file && stream.filled < font_buffer_size) read_more(stream);
    if (stream.end_of_file) end_copy(stream);
}

namespace {

// Copies what is left on the pipe through the buffer, whose earlier bytes
// are in the copy already.
void copy_rest_of_pipe(FontStream& stream) {
    while (stream.pipe != nullptr) {
        stream.cursor = stream.filled;
        refill(stream);
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

}  // namespace

bool open_font_stream(FontStream& stream, const char* name) {
    const bool standard_input = std::strcmp(name, "-") == 0;
    if (standard_input) use_binary_standard_input();
    stream.file = standard_input ? stdin : open_font_file(name);
    stream.owns_file = !standard_input;
    stream.pipe = nullptr;
    stream.piped = false;
    // A regular file too large for a font is refused before any reading.
    if (stream.file != nullptr && regular_file_size(stream.file) >= max_font_size) {
        close_font_stream(stream);
        return false;
    }
    if (stream.file != nullptr && !is_seekable(stream.file)) {
        stream.pipe = stream.file;
        stream.owns_pipe = stream.owns_file;
        stream.piped = true;
        stream.file = create_anonymous_file();
        stream.owns_file = true;
    }
    if (stream.file == nullptr) {
        close_font_stream(stream);
        return false;
    }
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
    if (stream.pipe != nullptr && stream.owns_pipe) std::fclose(stream.pipe);
    if (stream.file != nullptr && stream.owns_file) std::fclose(stream.file);
    stream.pipe = nullptr;
    stream.file = nullptr;
}

std::size_t piece_size(const FontStream& stream) {
    const unsigned char* bytes = stream.buffer + stream.cursor;
    const std::size_t available = stream.filled - stream.cursor;
    const std::size_t window = available < piece_chars ? available : piece_chars;
    const void* newline = std::memchr(bytes, '\n', window);
    if (newline != nullptr) return static_cast<std::size_t>(static_cast<const unsigned char*>(newline) - bytes) + 1;
    // 98 characters and a CR LF: the line ending still fits the piece.
    if (window == piece_chars && available > piece_chars && bytes[piece_chars - 1] == '\r' &&
        bytes[piece_chars] == '\n') {
        return piece_chars + 1;
    }
    return window;
}

bool read_line(FontStream& stream, char (&line)[line_capacity]) {
    if (!buffer_piece(stream)) return false;
    const unsigned char* bytes = stream.buffer + stream.cursor;
    const std::size_t used = piece_size(stream);
    const bool crlf = used >= 2 && bytes[used - 1] == '\n' && bytes[used - 2] == '\r';
    const std::size_t chars = crlf ? used - 1 : used;
    std::memcpy(line, bytes, chars);
    if (crlf) line[chars - 1] = '\n';
    line[chars] = '\0';
    stream.cursor += used;
    return true;
}

std::int64_t tell(const FontStream& stream) {
    return stream.buffer_position + static_cast<std::int64_t>(stream.cursor);
}

void seek(FontStream& stream, std::int64_t position) {
    copy_rest_of_pipe(stream);
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
