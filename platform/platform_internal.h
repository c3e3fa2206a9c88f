// What termination_signals.cpp, the table of temporary files removed on a
// termination signal, needs from platform_posix.cpp or platform_windows.cpp,
// each of which keeps its own list of termination signals.
#pragma once

// Removes a file; safe to call from a signal handler.
void remove_file_now(const char* name);

// Makes handler catch every termination signal on the system's list; a
// signal the process was started with ignored stays ignored.
void install_termination_handlers(void (*handler)(int));
