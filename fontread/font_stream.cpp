#include "font_stream.h"

#include <algorithm>
#include <cstring>

#include "platform.h"

namespace {

// Two kept spans closer than this are kept as one: the bytes between them
// are still buffered, and copying them costs less than a seek between spans.
constexpr std::int64_t joined_span_gap = 4096;

void fail_reading(FontStream& stream) {
    stream.end_of_file = true;
    stream.read_failed = true;
}

// The pipe has been read to its end.
void close_pipe(FontStream& stream) {
    if (stream.pipe == nullptr) return;
    if (stream.owns_pipe) std::fclose(stream.pipe);
    stream.pipe = nullptr;
}

// Reads into buffer[filled..] up to the read limit: from the pipe while it
// lasts, else from the file.
void read_more(FontStream& stream) {
    std::FILE* from = stream.pipe != nullptr ? stream.pipe : stream.file;
    const std::int64_t end = stream.buffer_position + static_cast<std::int64_t>(stream.filled);
    std::size_t wanted = font_buffer_size - stream.filled;
    if (stream.read_limit - end < static_cast<std::int64_t>(wanted)) {
        wanted = static_cast<std::size_t>(std::max<std::int64_t>(stream.read_limit - end, 0));
    }
    const std::size_t got = wanted == 0 ? 0 : std::fread(stream.buffer + stream.filled, 1, wanted, from);
    stream.filled += got;
    if (end + static_cast<std::int64_t>(got) >= max_font_size) {
        fail_reading(stream);
    } else if (got == 0) {
        stream.end_of_file = true;
        stream.read_failed = std::ferror(from) != 0;
    }
}

// Appends the last span's bytes before up_to to the copy. Kept bytes are
// copied before they leave the buffer, so all of them are buffered.
void write_kept(FontStream& stream, std::int64_t up_to) {
    if (stream.kept_from < 0 || stream.read_failed) return;
    const std::int64_t span_end = stream.kept_spans[stream.kept_span_count - 1].font_end;
    const std::int64_t end = std::min(span_end, up_to);
    if (end <= stream.kept_from) return;
    const unsigned char* bytes = stream.buffer + (stream.kept_from - stream.buffer_position);
    const auto count = static_cast<std::size_t>(end - stream.kept_from);
    if (std::fwrite(bytes, 1, count, stream.file) != count) {
        fail_reading(stream);
        return;
    }
    stream.copy_size += static_cast<std::int64_t>(count);
    stream.kept_from = end == span_end ? -1 : end;
}

}  // namespace

void refill(FontStream& stream) {
    if (stream.copying) write_kept(stream, tell(stream));
    const std::size_t unread = stream.filled - stream.cursor;
    std::memmove(stream.buffer, stream.buffer + stream.cursor, unread);
    stream.buffer_position += static_cast<std::int64_t>(stream.cursor);
    stream.cursor = 0;
    stream.filled = unread;
    while (!stream.end_of_file && stream.filled < font_buffer_size) read_more(stream);
    if (stream.end_of_file) close_pipe(stream);
}

namespace {

// Reads a font on a pipe to its end through the buffer, copies what is kept
// of it, and completes its copy.
void finish_copy(FontStream& stream) {
    if (!stream.copying) return;
    while (stream.pipe != nullptr) {
        stream.cursor = stream.filled;
        refill(stream);
    }
    write_kept(stream, stream.buffer_position + static_cast<std::int64_t>(stream.filled));
    if (!stream.read_failed && std::fflush(stream.file) != 0) fail_reading(stream);
    stream.copying = false;
}

// Where the copy of a font on a pipe holds the byte at position, and where
// its span ends; false when the copy does not hold it.
bool find_in_copy(const FontStream& stream, std::int64_t position, std::int64_t& offset, std::int64_t& span_end) {
    const KeptSpan* first = stream.kept_spans;
    const auto starts_after = [](std::int64_t at, const KeptSpan& span) { return at < span.font_start; };
    const KeptSpan* after = std::upper_bound(first, first + stream.kept_span_count, position, starts_after);
    if (after == first || position >= after[-1].font_end) return false;
    offset = after[-1].copy_start + (position - after[-1].font_start);
    span_end = after[-1].font_end;
    return true;
}

// Reading from position on. In the complete copy of a font on a pipe, it
// stops at the end of the span holding position, and at once where no span
// holds it.
void start_reading_at(FontStream& stream, std::int64_t position) {
    stream.buffer_position = position;
    stream.cursor = 0;
    stream.filled = 0;
    stream.end_of_file = false;
    std::int64_t offset = position;
    stream.read_limit = open_span;
    if (stream.piped && !stream.copying && !find_in_copy(stream, position, offset, stream.read_limit)) {
        offset = 0;
        stream.read_limit = position;
    }
    if (!seek_file(stream.file, offset)) fail_reading(stream);
}

}  // namespace

bool open_font_stream(FontStream& stream, const char* name) {
    const bool standard_input = std::strcmp(name, "-") == 0;
    if (standard_input) use_binary_standard_input();
    stream.file = standard_input ? stdin : open_font_file(name);
    stream.owns_file = !standard_input;
    stream.pipe = nullptr;
    stream.piped = false;
    stream.copying = false;
    stream.kept_span_count = 0;
    stream.kept_from = -1;
    stream.copy_size = 0;
    // A regular file too large for a font is refused before any reading.
    if (stream.file != nullptr && regular_file_size(stream.file) >= max_font_size) {
        close_font_stream(stream);
        return false;
    }
    if (stream.file != nullptr && !is_seekable(stream.file)) {
        stream.pipe = stream.file;
        stream.owns_pipe = stream.owns_file;
        stream.piped = true;
        // A whole buffer's worth waiting in the pipe at each refill.
        widen_pipe(stream.pipe, font_buffer_size);
        stream.file = create_anonymous_file();
        stream.owns_file = true;
        // All of it is kept unless the reader asks for less.
        stream.copying = true;
        stream.kept_span_count = 1;
        stream.kept_spans[0] = {0, open_span, 0};
        stream.kept_from = 0;
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

std::size_t copy_piece(const FontStream& stream, char (&line)[line_capacity]) {
    const unsigned char* bytes = stream.buffer + stream.cursor;
    const std::size_t used = piece_size(stream);
    const bool crlf = used >= 2 && bytes[used - 1] == '\n' && bytes[used - 2] == '\r';
    const std::size_t chars = crlf ? used - 1 : used;
    std::memcpy(line, bytes, chars);
    if (crlf) line[chars - 1] = '\n';
    line[chars] = '\0';
    return used;
}

bool read_line(FontStream& stream, char (&line)[line_capacity]) {
    if (!buffer_piece(stream)) return false;
    stream.cursor += copy_piece(stream, line);
    return true;
}

std::int64_t tell(const FontStream& stream) {
    return stream.buffer_position + static_cast<std::int64_t>(stream.cursor);
}

void seek(FontStream& stream, std::int64_t position) {
    finish_copy(stream);
    if (stream.read_failed) return;
    // The buffer's end may be where one kept span ends and the next begins.
    const std::int64_t offset = position - stream.buffer_position;
    if (offset >= 0 && offset < static_cast<std::int64_t>(stream.filled)) {
        stream.cursor = static_cast<std::size_t>(offset);
        return;
    }
    start_reading_at(stream, position);
}

void rewind(FontStream& stream) {
    seek(stream, 0);
}

bool copy_kept_spans_only(FontStream& stream) {
    if (!stream.copying || tell(stream) != 0 || stream.copy_size != 0) return false;
    stream.kept_span_count = 0;
    stream.kept_from = -1;
    return true;
}

void keep_from(FontStream& stream, std::int64_t position) {
    if (!stream.copying) return;
    const int count = stream.kept_span_count;
    if (count > 0) {
        KeptSpan& last = stream.kept_spans[count - 1];
        // An open span goes on (the last one the table holds never ends);
        // one that ended nearby, its end still buffered, reopens.
        if (count == kept_span_capacity || (stream.kept_from >= 0 && position - last.font_end <= joined_span_gap)) {
            last.font_end = open_span;
            return;
        }
        write_kept(stream, last.font_end);
    }
    stream.kept_spans[count] = {position, open_span, stream.copy_size};
    stream.kept_span_count = count + 1;
    stream.kept_from = position;
}

void keep_until(FontStream& stream, std::int64_t position) {
    const int count = stream.kept_span_count;
    if (!stream.copying || count == 0 || count == kept_span_capacity) return;
    KeptSpan& last = stream.kept_spans[count - 1];
    if (last.font_end != open_span) return;
    last.font_end = std::max(position, last.font_start);
    if (stream.kept_from >= last.font_end) stream.kept_from = -1;
}
