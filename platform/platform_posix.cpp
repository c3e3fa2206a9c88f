// The POSIX way of each call in platform.h, and the POSIX list of
// termination signals for termination_signals.cpp.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform.h"
#include "platform_internal.h"

namespace {

// Every signal whose default action ends the process and that a program
// may catch: the user's interrupt and quit keys, kill, hang-up, timers and
// time limits (timeout -s ALRM, ulimit -t), the user signals and a pipe
// without a reader.
constexpr int termination_signals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT,   SIGALRM, SIGUSR1,
                                       SIGUSR2, SIGPIPE, SIGXCPU, SIGVTALRM, SIGPROF};
// As many links as the system itself follows before calling it a loop.
constexpr int max_link_hops = 40;

sigset_t signals_before_hold;

sigset_t termination_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal_number : termination_signals) sigaddset(&set, signal_number);
    return set;
}

}  // namespace

void remove_file_now(const char* name) {
    unlink(name);
}

void install_termination_handlers(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = termination_signal_set();
    for (int signal_number : termination_signals) {
        struct sigaction before {};
        sigaction(signal_number, nullptr, &before);
        if (before.sa_handler != SIG_IGN) sigaction(signal_number, &action, nullptr);
    }
}

namespace {

std::FILE* open_descriptor(int descriptor, const char* mode) {
    if (descriptor < 0) return nullptr;
    std::FILE* file = fdopen(descriptor, mode);
    if (file == nullptr) close(descriptor);
    return file;
}

// The fallback where the folder's file system has no unnamed files: a
// named one, removed at once.
int create_and_remove(const char* folder) {
    char name[temporary_name_capacity];
    if (std::snprintf(name, sizeof name, "%s/bdfspoolXXXXXX", folder) >= static_cast<int>(sizeof name)) return -1;
    hold_termination_signals();
    const int descriptor = mkstemp(name);
    if (descriptor >= 0) unlink(name);
    release_termination_signals();
    return descriptor;
}

}  // namespace

void hold_termination_signals() {
    const sigset_t set = termination_signal_set();
    sigprocmask(SIG_BLOCK, &set, &signals_before_hold);
}

void release_termination_signals() {
    sigprocmask(SIG_SETMASK, &signals_before_hold, nullptr);
}

bool seek_file(std::FILE* file, std::int64_t position) {
    return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool is_seekable(std::FILE* file) {
#if defined(__EMSCRIPTEN__)
    // Emscripten's file systems may claim to seek a device or a pipe without
    // moving in it, and a font read twice from one would be read wrong: only
    // a regular file is read in place, anything else is spooled.
    return regular_file_size(file) >= 0;
#else
    return std::fseek(file, 0, SEEK_CUR) == 0;
#endif
}

void widen_pipe(std::FILE* file, std::size_t bytes) {
#if defined(F_SETPIPE_SZ) && !defined(__EMSCRIPTEN__)
    const int descriptor = fileno(file);
    const int size = fcntl(descriptor, F_GETPIPE_SZ);
    if (size >= 0 && static_cast<std::size_t>(size) < bytes) fcntl(descriptor, F_SETPIPE_SZ, static_cast<int>(bytes));
#else
    (void)file;
    (void)bytes;
#endif
}

std::int64_t regular_file_size(std::FILE* file) {
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    return status.st_size;
}

std::FILE* open_font_file(const char* name) {
    return std::fopen(name, "rb");
}

void use_binary_standard_input() {}

void use_binary_standard_output() {}

std::FILE* create_anonymous_file() {
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') folder = "/tmp";
    int descriptor = -1;
#if defined(O_TMPFILE)
    descriptor = open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
    if (descriptor < 0) descriptor = create_and_remove(folder);
    return open_descriptor(descriptor, "w+b");
}

std::FILE* create_new_file(const char* name) {
    return open_descriptor(open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), "wb");
}

bool failed_because_name_exists() {
    return errno == EEXIST;
}

namespace {

// The name under /proc through which an open file can be linked into a
// folder: the only way an ordinary user can name an unnamed file.
void descriptor_path(int descriptor, char (&path)[64]) {
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
}

}  // namespace

std::FILE* create_unnamed_file(const char* folder) {
#if defined(O_TMPFILE)
    const int descriptor = open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) return nullptr;
    // Without /proc the finished file could never be named.
    char path[64];
    descriptor_path(descriptor, path);
    if (access(path, F_OK) != 0) {
        close(descriptor);
        return nullptr;
    }
    return open_descriptor(descriptor, "wb");
#else
    (void)folder;
    return nullptr;
#endif
}

bool link_unnamed_file(std::FILE* file, const char* name) {
    char path[64];
    descriptor_path(fileno(file), path);
    return linkat(AT_FDCWD, path, AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
}

std::FILE* open_for_writing_in_place(const char* name) {
    std::signal(SIGPIPE, SIG_IGN);
    const int descriptor = open(name, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor >= 0) fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return open_descriptor(descriptor, "wb");
}

bool set_file_mode(std::FILE* file, unsigned mode) {
    return fchmod(fileno(file), static_cast<mode_t>(mode)) == 0;
}

bool replace_file(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

namespace {

// The rule the system applies to links in shared folders such as /tmp: a
// link in a sticky folder that anyone may write is followed only when it
// belongs to the user or to the folder's owner, so that no other user can
// point the user's output at a file of the user's own.
bool link_may_be_followed(const char* link_path, const struct stat& link_status) {
    char folder[temporary_name_capacity];
    const char* last_slash = std::strrchr(link_path, '/');
    if (last_slash == nullptr) {
        std::snprintf(folder, sizeof folder, ".");
    } else {
        std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(last_slash - link_path + 1), link_path);
    }
    struct stat folder_status;
    if (stat(folder, &folder_status) != 0) return false;
    const bool shared = (folder_status.st_mode & S_ISVTX) != 0 && (folder_status.st_mode & S_IWOTH) != 0;
    return !shared || link_status.st_uid == geteuid() || link_status.st_uid == folder_status.st_uid;
}

}  // namespace

bool resolve_links(const char* name, char* resolved, std::size_t capacity) {
    if (std::snprintf(resolved, capacity, "%s", name) >= static_cast<int>(capacity)) return false;
    for (int hop = 0; hop < max_link_hops; ++hop) {
        struct stat status;
        if (lstat(resolved, &status) != 0 || !S_ISLNK(status.st_mode)) return true;
        if (!link_may_be_followed(resolved, status)) return false;
        char link[temporary_name_capacity];
        const ssize_t length = readlink(resolved, link, sizeof link - 1);
        if (length < 0 || static_cast<std::size_t>(length) == sizeof link - 1) return false;
        link[length] = '\0';
        // A relative link counts from the folder the link is in.
        const char* last_slash = std::strrchr(resolved, '/');
        const std::size_t folder_length = link[0] == '/' || last_slash == nullptr ? 0 : last_slash + 1 - resolved;
        if (folder_length + static_cast<std::size_t>(length) >= capacity) return false;
        std::memcpy(resolved + folder_length, link, static_cast<std::size_t>(length) + 1);
    }
    return false;
}

TargetKind inspect_target(const char* name, unsigned& mode) {
    struct stat status;
    mode = 0;
    if (stat(name, &status) != 0) return TargetKind::missing;
    if (S_ISDIR(status.st_mode)) return TargetKind::directory;
    if (!S_ISREG(status.st_mode)) return TargetKind::other;
    if (access(name, W_OK) != 0) return TargetKind::read_only;
    // The new file belongs to whoever runs the program, so the set-user-ID,
    // set-group-ID and sticky bits of the old one do not carry over.
    mode = status.st_mode & 0777;
    return TargetKind::regular;
}

std::uint64_t random_number() {
    std::uint64_t bits = 0;
    if (getentropy(&bits, sizeof bits) == 0) return bits;
    // No entropy source: mix the time, the process and a counter.
    static std::uint64_t counter = 0;
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    bits = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
           (static_cast<std::uint64_t>(getpid()) << 40) ^ (++counter * 0x9E3779B97F4A7C15u);
    return bits;
}

void report_file_size_limit_as_write_error() {
    std::signal(SIGXFSZ, SIG_IGN);
}

void report_closed_pipe_as_write_error() {
    std::signal(SIGPIPE, SIG_IGN);
}

void open_missing_standard_streams() {
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        // open returns the lowest free descriptor: this one. A closed
        // standard output becomes /dev/full, so that a report written to it
        // fails as a write error instead of vanishing.
        int opened = -1;
        if (descriptor == 1) opened = open("/dev/full", O_WRONLY);
        if (opened < 0) opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) close(opened);
    }
}

bool is_terminal(std::FILE* file) {
    return isatty(fileno(file)) != 0;
}

bool is_same_file(const char* a, const char* b) {
    struct stat status_a;
    struct stat status_b;
    return stat(a, &status_a) == 0 && stat(b, &status_b) == 0 && status_a.st_dev == status_b.st_dev &&
           status_a.st_ino == status_b.st_ino;
}

