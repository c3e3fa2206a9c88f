// Writing an output file without ever leaving a truncated one: the bytes go
// to a temporary file beside the target, which is renamed over the target's
// name only once it is complete. Where the system has unnamed files (Linux),
// the temporary file gets its name only then, so that not even a killed
// process leaves one behind; elsewhere it is named from the start.
//
// A symbolic link is followed to the file it ends at, so the link stays and
// the file it points to is replaced; a replaced file's permission bits carry
// over, a new file gets the usual mode under the umask. A hard link is not
// followed: the name gets a new file and other names keep the old one. A
// target that is a device or a named pipe is written in place. Temporary
// names are random and created exclusively; a temporary file is removed if
// the process is ended by a termination signal it can catch (each system's
// list is in platform_posix.cpp and platform_windows.cpp).
#pragma once
#include <cstddef>
#include <cstdio>

#include "platform.h"

constexpr std::size_t output_name_capacity = 4096;

struct OutputFile {
    std::FILE* file;
    bool in_place;       // a device or a named pipe, written directly
    bool unnamed;        // the temporary file has no name until it is complete
    bool keeps_mode;     // replaces a regular file whose permission bits it takes
    unsigned mode;
    int temporary_slot;  // its entry among the files removed on a signal
    char target[output_name_capacity];  // the name with symbolic links followed
    char temporary_name[temporary_name_capacity];
};

enum class OutputResult { written, cannot_open, cannot_write };

// Creates the temporary file for the output `name`; false when it cannot be
// opened: a loop of links, a directory, an existing file the user may not
// write, or a folder where no file can be made.
bool create_output_file(OutputFile& output, const char* name);

// Writes size bytes; errors are remembered by the stream and reported by
// finish_output_file.
void write_output_bytes(OutputFile& output, const void* bytes, std::size_t size);

// Flushes the temporary file, names it if it is unnamed, closes it and
// renames it over the target. On any failure the temporary file is removed
// and an earlier file stays.
OutputResult finish_output_file(OutputFile& output);
