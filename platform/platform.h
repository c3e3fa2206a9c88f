// The few things the programs need from the system beyond plain file
// streams, kept in one place: the POSIX and the Windows way of each.
#pragma once
#include <cstdint>
#include <cstdio>

// Positions a file at a byte offset.
bool seek_file(std::FILE* file, std::int64_t position);

// Whether the file can be read again after a seek: false for pipes and
// terminals.
bool is_seekable(std::FILE* file);

// Opens a font for reading as bytes; an image may be renamed over it while
// it is open.
std::FILE* open_font_file(const char* name);

// Reads standard input as bytes, with no line-end translation.
void use_binary_standard_input();

// An anonymous read-write temporary file that the system removes once it is
// closed; null when none can be made.
std::FILE* create_anonymous_file();

// Creates name for binary writing only if no file of that name exists.
std::FILE* create_new_file(const char* name);

// Renames from over to, replacing to if it exists.
bool replace_file(const char* from, const char* to);

// Makes a write beyond the process's file size limit fail as a write error
// instead of ending the process with a signal that would leave a half-made
// file behind.
void report_file_size_limit_as_write_error();

// Opens each of descriptors 0, 1 and 2 that is closed on the null device, so
// that no file the program opens later lands on a standard stream.
void open_missing_standard_streams();

// Whether a and b name the same file (same device and inode; on Windows the
// same volume and file index); false when either is missing.
bool is_same_file(const char* a, const char* b);
