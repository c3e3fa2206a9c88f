// The table of temporary files removed on a termination signal, shared by
// both systems; platform_posix.cpp and platform_windows.cpp list the signals
// and install the handler.
#include <csignal>
#include <cstring>

#include "platform.h"
#include "platform_internal.h"

namespace {

// Only the signal handler reads the table, so it holds plain copies of the
// names.
char temporary_names[temporary_file_slots][temporary_name_capacity];
volatile std::sig_atomic_t temporary_in_use[temporary_file_slots];
bool handlers_installed = false;

// Removes every temporary file, then dies of the same signal.
void remove_temporary_files_and_die(int signal_number) {
    for (int slot = 0; slot < temporary_file_slots; ++slot) {
        if (temporary_in_use[slot]) remove_file_now(temporary_names[slot]);
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

}  // namespace

int remember_temporary_file(const char* name) {
    if (std::strlen(name) >= temporary_name_capacity) return -1;
    if (!handlers_installed) {
        install_termination_handlers(remove_temporary_files_and_die);
        handlers_installed = true;
    }
    for (int slot = 0; slot < temporary_file_slots; ++slot) {
        if (temporary_in_use[slot]) continue;
        std::memcpy(temporary_names[slot], name, std::strlen(name) + 1);
        temporary_in_use[slot] = 1;
        return slot;
    }
    return -1;
}

void forget_temporary_file(int slot) {
    if (slot >= 0 && slot < temporary_file_slots) temporary_in_use[slot] = 0;
}
