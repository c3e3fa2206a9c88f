// The few things the programs need from the system beyond plain file
// streams. platform_posix.cpp and platform_windows.cpp hold the POSIX and
// the Windows way of each; termination_signals.cpp the table of temporary
// files that both share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Positions a file at a byte offset.
bool seek_file(std::FILE* file, std::int64_t position);

// Whether the file can be read again after a seek: false for pipes and
// terminals.
bool is_seekable(std::FILE* file);

// Lets a pipe hold at least bytes where the system allows it, so that the
// writer can run that far ahead of the reader; anything else is left as is.
void widen_pipe(std::FILE* file, std::size_t bytes);

// The size of a regular file, or -1 for anything else (a pipe, a device).
std::int64_t regular_file_size(std::FILE* file);

// Opens a font for reading as bytes; an image may be renamed over it while
// it is open.
std::FILE* open_font_file(const char* name);

// Reads standard input as bytes, with no line-end translation.
void use_binary_standard_input();

// Writes standard output as bytes, with no line-end translation.
void use_binary_standard_output();

// An anonymous read-write temporary file in TMPDIR (/tmp when unset; on
// Windows the user's temporary folder) that the system removes once it is
// closed; null when none can be made there.
std::FILE* create_anonymous_file();

// Creates name for binary writing only if no file of that name exists, with
// the usual mode under the umask. Null on failure; errno tells why.
std::FILE* create_new_file(const char* name);

// Whether create_new_file or link_unnamed_file failed because the name was
// taken.
bool failed_because_name_exists();

// Creates a file with no name in folder for binary writing, with the usual
// mode under the umask, which a killed process cannot leave behind (Linux:
// O_TMPFILE). Null where the system or the folder's file system has none.
std::FILE* create_unnamed_file(const char* folder);

// Gives a file made by create_unnamed_file the name `name`, which must not
// exist yet; the file must still be open.
bool link_unnamed_file(std::FILE* file, const char* name);

// Opens an existing file that is not a regular file (a device, a named
// pipe) for writing in place. A named pipe with no reader is refused rather
// than waited for, and a reader that goes away makes writes fail instead of
// ending the process.
std::FILE* open_for_writing_in_place(const char* name);

// Gives an open file the permission bits mode.
bool set_file_mode(std::FILE* file, unsigned mode);

// Renames from over to, replacing to if it exists.
bool replace_file(const char* from, const char* to);

// Follows symbolic links from name, relative ones from the link's folder,
// to the name of the file they end at (which may not exist yet). False for
// a loop of links or a name longer than capacity.
bool resolve_links(const char* name, char* resolved, std::size_t capacity);

enum class TargetKind { missing, regular, read_only, directory, other };

// What an output name (links already followed) is now; mode receives a
// regular file's permission bits.
TargetKind inspect_target(const char* name, unsigned& mode);

// Random bits for names nobody can predict.
std::uint64_t random_number();

// Makes a write beyond the process's file size limit fail as a write error
// instead of ending the process with a signal that would leave a half-made
// file behind.
void report_file_size_limit_as_write_error();

// Makes a write to a pipe whose reader has gone fail as a write error
// instead of ending the process silently, so that a companion can say
// "cannot write standard output". The converters keep the default.
void report_closed_pipe_as_write_error();

// Opens each of descriptors 0, 1 and 2 that is closed on the null device, so
// that no file the program opens later lands on a standard stream.
void open_missing_standard_streams();

// Whether file is a terminal (a console on Windows).
bool is_terminal(std::FILE* file);

// Whether a and b name the same file (same device and inode; on Windows the
// same volume and file index); false when either is missing.
bool is_same_file(const char* a, const char* b);

// Temporary files that a termination signal removes before the process
// dies of that signal; each system's list of termination signals is in
// platform_posix.cpp and platform_windows.cpp. A signal the process was
// started with ignored stays ignored.
constexpr int temporary_file_slots = 8;
constexpr std::size_t temporary_name_capacity = 4200;

// Holds those signals back while a temporary file is created, renamed or
// removed and the table changes; release delivers any that came meanwhile.
void hold_termination_signals();
void release_termination_signals();

// Records name for removal on a signal: its slot, or -1 when every slot is
// taken or the name is too long.
int remember_temporary_file(const char* name);
void forget_temporary_file(int slot);
