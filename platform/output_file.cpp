#include "output_file.h"

#include "platform.h"

namespace {

constexpr int temporary_name_tries = 100;

}  // namespace

bool create_output_file(OutputFile& output, const char* name) {
    report_file_size_limit_as_write_error();
    if (std::snprintf(output.name, sizeof output.name, "%s", name) >= static_cast<int>(sizeof output.name)) {
        return false;
    }
    for (int attempt = 0; attempt < temporary_name_tries; ++attempt) {
        std::snprintf(output.temporary_name, sizeof output.temporary_name, "%s.tmp%d", name, attempt);
        // Never take over a file that is already there.
        output.file = create_new_file(output.temporary_name);
        if (output.file != nullptr) return true;
    }
    return false;
}

void write_output_bytes(OutputFile& output, const void* bytes, std::size_t size) {
    std::fwrite(bytes, 1, size, output.file);
}

OutputResult finish_output_file(OutputFile& output) {
    const bool write_failed = std::ferror(output.file) != 0;
    const bool flush_failed = std::fflush(output.file) != 0;
    const bool close_failed = std::fclose(output.file) != 0;
    output.file = nullptr;
    if (write_failed || flush_failed || close_failed) {
        std::remove(output.temporary_name);
        return OutputResult::cannot_write;
    }
    if (!replace_file(output.temporary_name, output.name)) {
        std::remove(output.temporary_name);
        return OutputResult::cannot_open;
    }
    return OutputResult::written;
}
