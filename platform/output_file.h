// Writing an output file without ever leaving a truncated one: the bytes go
// to a temporary file beside the target, which is renamed over the target's
// name only once it is complete and closed.
#pragma once
#include <cstddef>
#include <cstdio>

constexpr std::size_t output_name_capacity = 4096;

struct OutputFile {
    std::FILE* file;
    char name[output_name_capacity];
    char temporary_name[output_name_capacity + 16];
};

enum class OutputResult { written, cannot_open, cannot_write };

// Creates the temporary file for the output `name`; false when it cannot be
// opened.
bool create_output_file(OutputFile& output, const char* name);

// Writes size bytes; errors are remembered by the stream and reported by
// finish_output_file.
void write_output_bytes(OutputFile& output, const void* bytes, std::size_t size);

// Flushes and closes the temporary file and renames it over the target. On
// any failure the temporary file is removed and an earlier file stays.
OutputResult finish_output_file(OutputFile& output);
