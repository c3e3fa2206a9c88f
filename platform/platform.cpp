#include "platform.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <csignal>
#include <sys/types.h>
#endif

#if defined(_WIN32)

bool seek_file(std::FILE* file, std::int64_t position) {
    return _fseeki64(file, position, SEEK_SET) == 0;
}

bool is_seekable(std::FILE* file) {
    return GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) == FILE_TYPE_DISK;
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

bool replace_file(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
    // The old file may be a font this run still has open: move it aside
    // and delete it; it goes once the font is closed.
    const DWORD attributes = GetFileAttributesA(to);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    char aside[MAX_PATH + 16];
    std::snprintf(aside, sizeof aside, "%s.old", from);
    if (!MoveFileExA(to, aside, 0)) return false;
    if (!MoveFileExA(from, to, 0)) {
        MoveFileExA(aside, to, 0);
        return false;
    }
    DeleteFileA(aside);
    return true;
}

void report_file_size_limit_as_write_error() {}

#else

bool seek_file(std::FILE* file, std::int64_t position) {
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool is_seekable(std::FILE* file) {
    return std::fseek(file, 0, SEEK_CUR) == 0;
}

std::FILE* open_font_file(const char* name) {
    return std::fopen(name, "rb");
}

void use_binary_standard_input() {}

std::FILE* create_anonymous_file() {
    return std::tmpfile();
}

std::FILE* create_new_file(const char* name) {
    return std::fopen(name, "wbx");
}

bool replace_file(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

void report_file_size_limit_as_write_error() {
    std::signal(SIGXFSZ, SIG_IGN);
}

#endif
