#include "program.h"

#include <cstdio>
#include <cstdlib>

#include "platform.h"

namespace {

std::FILE* message_stream = stdout;
const char* message_prefix = nullptr;
int failure_status = EXIT_FAILURE;

}  // namespace

void start_converter() {
    open_missing_standard_streams();
    report_file_size_limit_as_write_error();
}

void start_companion(const char* name) {
    start_converter();
    report_closed_pipe_as_write_error();
    message_stream = stderr;
    message_prefix = name;
}

void set_failure_status(int status) {
    failure_status = status;
}

void fail(const std::string& line) {
    if (message_prefix != nullptr) std::fprintf(message_stream, "%s: ", message_prefix);
    std::fprintf(message_stream, "%s\n", line.c_str());
    std::exit(failure_status);
}

HeaderScan open_and_scan_font(FontStream& stream, const char* name, bool accept_unknown_charset,
                              const EncodingSet& wanted, GlyphRecord& record) {
    if (!open_font_stream(stream, name)) fail(std::string("cannot open ") + name);
    const HeaderScan scan = scan_font_header(stream, accept_unknown_charset, wanted, record);
    if (stream.piped && stream.read_failed) fail(std::string("cannot open ") + name);
    return scan;
}

std::string font_error_message(const HeaderScan& scan, const char* font_name) {
    if (scan.error == FontError::illegal_bdf) return "illegal bdf";
    if (scan.error == FontError::unknown_charset) return std::string("cannot convert for charset ") + scan.registry;
    return std::string("cannot open ") + font_name;
}

std::string output_result_message(OutputResult result, const char* name) {
    return std::string(result == OutputResult::cannot_write ? "cannot write " : "cannot open ") + name;
}

void write_file_or_fail(const char* name, const void* bytes, std::size_t size) {
    OutputFile file;
    if (!create_output_file(file, name)) fail(output_result_message(OutputResult::cannot_open, name));
    write_output_bytes(file, bytes, size);
    const OutputResult result = finish_output_file(file);
    if (result != OutputResult::written) fail(output_result_message(result, name));
}

void write_standard_output_or_fail(const void* bytes, std::size_t size) {
    const bool written = std::fwrite(bytes, 1, size, stdout) == size && std::fflush(stdout) == 0;
    if (!written || std::ferror(stdout) != 0) fail("cannot write standard output");
}
