// The Windows way of each call in platform.h, and the Windows list of
// termination signals for termination_signals.cpp.
#define _CRT_RAND_S
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform.h"
#include "platform_internal.h"

namespace {

// The termination signals caught on Windows: Ctrl+C and SIGTERM.
constexpr int termination_signals[] = {SIGINT, SIGTERM};

}  // namespace

void remove_file_now(const char* name) {
    _unlink(name);
}

void install_termination_handlers(void (*handler)(int)) {
    for (int signal_number : termination_signals) {
        if (std::signal(signal_number, handler) == SIG_IGN) std::signal(signal_number, SIG_IGN);
    }
}

void hold_termination_signals() {}
void release_termination_signals() {}

bool seek_file(std::FILE* file, std::int64_t position) {
    return _fseeki64(file, position, SEEK_SET) == 0;
}

bool is_seekable(std::FILE* file) {
    return GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) == FILE_TYPE_DISK;
}

void widen_pipe(std::FILE*, std::size_t) {}

std::int64_t regular_file_size(std::FILE* file) {
    struct _stat64 status;
    if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return -1;
    return status.st_size;
}

std::FILE* open_font_file(const char* name) {
    const HANDLE handle = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "rb");
    if (file == nullptr) _close(descriptor);
    return file;
}

void use_binary_standard_input() {
    _setmode(_fileno(stdin), _O_BINARY);
}

void use_binary_standard_output() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

// The runtime's own tmpfile() may try the root of the drive, which users
// cannot write; the user's temporary folder always works.
std::FILE* create_anonymous_file() {
    char folder[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "bdf", 0, name) == 0) return nullptr;
    // "T": keep in memory where possible, "D": delete when closed.
    return std::fopen(name, "w+bTD");
}

std::FILE* create_new_file(const char* name) {
    const int descriptor = _open(name, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) return nullptr;
    std::FILE* file = _fdopen(descriptor, "wb");
    if (file == nullptr) _close(descriptor);
    return file;
}

bool failed_because_name_exists() {
    return errno == EEXIST;
}

std::FILE* create_unnamed_file(const char*) {
    return nullptr;
}

bool link_unnamed_file(std::FILE*, const char*) {
    return false;
}

std::FILE* open_for_writing_in_place(const char* name) {
    return std::fopen(name, "wb");
}

// Windows keeps no permission bits beyond read-only, which inspect_target
// already refuses.
bool set_file_mode(std::FILE*, unsigned) {
    return true;
}

bool replace_file(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
    // The old file may be a font this run still has open: move it aside
    // and delete it; it goes once the font is closed.
    const DWORD attributes = GetFileAttributesA(to);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    char aside[temporary_name_capacity + 8];
    std::snprintf(aside, sizeof aside, "%s.old", from);
    if (!MoveFileExA(to, aside, 0)) return false;
    if (!MoveFileExA(from, to, 0)) {
        MoveFileExA(aside, to, 0);
        return false;
    }
    DeleteFileA(aside);
    return true;
}

// A link on Windows is replaced like a file, as it always has been.
bool resolve_links(const char* name, char* resolved, std::size_t capacity) {
    return std::snprintf(resolved, capacity, "%s", name) < static_cast<int>(capacity);
}

TargetKind inspect_target(const char* name, unsigned& mode) {
    struct _stat64 status;
    mode = 0;
    if (_stat64(name, &status) != 0) return TargetKind::missing;
    if ((status.st_mode & _S_IFMT) == _S_IFDIR) return TargetKind::directory;
    if ((status.st_mode & _S_IFMT) != _S_IFREG) return TargetKind::other;
    if (_access(name, 2) != 0) return TargetKind::read_only;
    return TargetKind::regular;
}

std::uint64_t random_number() {
    unsigned int high = 0;
    unsigned int low = 0;
    rand_s(&high);
    rand_s(&low);
    return (std::uint64_t{high} << 32) | low;
}

void report_file_size_limit_as_write_error() {}

void report_closed_pipe_as_write_error() {}

namespace {

// Asking about a closed descriptor counts as an invalid parameter, which
// would end the process; while the standard ones are checked it only fails.
void ignore_invalid_parameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int, uintptr_t) {}

}  // namespace

void open_missing_standard_streams() {
    const _invalid_parameter_handler before = _set_invalid_parameter_handler(ignore_invalid_parameter);
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        // -1: closed; -2: no console or file behind it.
        if (_get_osfhandle(descriptor) >= 0) continue;
        const int opened = _open("NUL", descriptor == 0 ? _O_RDONLY : _O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            _dup2(opened, descriptor);
            _close(opened);
        }
    }
    _set_invalid_parameter_handler(before);
}

namespace {

bool get_file_identity(const char* name, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE handle = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    return known;
}

}  // namespace

bool is_terminal(std::FILE* file) {
    return _isatty(_fileno(file)) != 0;
}

bool is_same_file(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION info_a;
    BY_HANDLE_FILE_INFORMATION info_b;
    return get_file_identity(a, info_a) && get_file_identity(b, info_b) &&
           info_a.dwVolumeSerialNumber == info_b.dwVolumeSerialNumber &&
           info_a.nFileIndexHigh == info_b.nFileIndexHigh && info_a.nFileIndexLow == info_b.nFileIndexLow;
}
