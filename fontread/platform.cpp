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
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

void report_file_size_limit_as_write_error() {}

#else

bool seek_file(std::FILE* file, std::int64_t position) {
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool is_seekable(std::FILE* file) {
    return std::fseek(file, 0, SEEK_CUR) == 0;
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
