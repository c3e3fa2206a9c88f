#include "platform.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
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

void open_missing_standard_streams() {
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (_get_osfhandle(descriptor) != -1) continue;
        const int opened = _open("NUL", descriptor == 0 ? _O_RDONLY : _O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            _dup2(opened, descriptor);
            _close(opened);
        }
    }
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

bool is_same_file(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION info_a;
    BY_HANDLE_FILE_INFORMATION info_b;
    return get_file_identity(a, info_a) && get_file_identity(b, info_b) &&
           info_a.dwVolumeSerialNumber == info_b.dwVolumeSerialNumber &&
           info_a.nFileIndexHigh == info_b.nFileIndexHigh && info_a.nFileIndexLow == info_b.nFileIndexLow;
}

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

void open_missing_standard_streams() {
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        // open returns the lowest free descriptor: this one.
        const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) close(opened);
    }
}

bool is_same_file(const char* a, const char* b) {
    struct stat status_a;
    struct stat status_b;
    return stat(a, &status_a) == 0 && stat(b, &status_b) == 0 && status_a.st_dev == status_b.st_dev &&
           status_a.st_ino == status_b.st_ino;
}

#endif
