#include "output_file.h"

#include <cstring>

namespace {

// Retried only while the random names are taken, which practically never
// happens twice.
constexpr int temporary_name_tries = 1000;
constexpr int suffix_length = 12;
// The part of the target's own name kept in the temporary name, leaving
// room for the suffix within a folder entry's 255 bytes.
constexpr std::size_t kept_name_length = 200;
const char suffix_letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

const char* file_name_part(const char* path) {
    const char* part = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '/' || *c == '\\') part = c + 1;
    }
    return part;
}

void make_temporary_name(OutputFile& output) {
    const char* own_name = file_name_part(output.target);
    const int folder_length = static_cast<int>(own_name - output.target);
    const std::size_t own_length = std::strlen(own_name);
    const int kept = static_cast<int>(own_length < kept_name_length ? own_length : kept_name_length);
    char suffix[suffix_length + 1];
    std::uint64_t bits = random_number();
    for (int i = 0; i < suffix_length; ++i) {
        if (i == suffix_length / 2) bits = random_number();
        suffix[i] = suffix_letters[bits % (sizeof suffix_letters - 1)];
        bits /= sizeof suffix_letters - 1;
    }
    suffix[suffix_length] = '\0';
    std::snprintf(output.temporary_name, sizeof output.temporary_name, "%.*s%.*s.tmp%s", folder_length,
                  output.target, kept, own_name, suffix);
}

// An unnamed temporary file in the target's folder, where the system has
// them.
bool create_unnamed_beside(OutputFile& output) {
    const char* own_name = file_name_part(output.target);
    char folder[output_name_capacity];
    std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(own_name - output.target), output.target);
    output.file = create_unnamed_file(folder[0] != '\0' ? folder : ".");
    output.unnamed = output.file != nullptr;
    return output.unnamed;
}

// Names the finished unnamed file with a fresh temporary name; signals are
// held by the caller until it is renamed over the target or removed.
bool name_unnamed_temporary(OutputFile& output) {
    for (int attempt = 0; attempt < temporary_name_tries; ++attempt) {
        make_temporary_name(output);
        if (link_unnamed_file(output.file, output.temporary_name)) return true;
        if (!failed_because_name_exists()) break;
    }
    output.temporary_name[0] = '\0';
    return false;
}

// Creates the temporary file beside the target and records it for removal
// on a signal, with signals held so that no moment leaves it unrecorded.
bool create_temporary_beside(OutputFile& output) {
    if (create_unnamed_beside(output)) return true;
    for (int attempt = 0; attempt < temporary_name_tries; ++attempt) {
        make_temporary_name(output);
        hold_termination_signals();
        output.file = create_new_file(output.temporary_name);
        if (output.file != nullptr) {
            output.temporary_slot = remember_temporary_file(output.temporary_name);
            if (output.temporary_slot < 0) {
                std::fclose(output.file);
                output.file = nullptr;
                std::remove(output.temporary_name);
            }
            release_termination_signals();
            return output.file != nullptr;
        }
        const bool name_taken = failed_because_name_exists();
        release_termination_signals();
        if (!name_taken) return false;
    }
    return false;
}

bool open_in_place(OutputFile& output, const char* name) {
    output.in_place = true;
    output.file = open_for_writing_in_place(name);
    return output.file != nullptr;
}

}  // namespace

bool create_output_file(OutputFile& output, const char* name) {
    report_file_size_limit_as_write_error();
    output.file = nullptr;
    output.in_place = false;
    output.unnamed = false;
    output.keeps_mode = false;
    output.temporary_slot = -1;
    output.temporary_name[0] = '\0';
    if (name[0] == '\0') return false;
    // A device or a pipe, however the name reaches it (/dev/stdout on a pipe
    // included), is written in place through the name itself.
    if (inspect_target(name, output.mode) == TargetKind::other) return open_in_place(output, name);
    if (!resolve_links(name, output.target, sizeof output.target)) return false;
    switch (inspect_target(output.target, output.mode)) {
    case TargetKind::missing: break;
    case TargetKind::regular: output.keeps_mode = true; break;
    case TargetKind::read_only:
    case TargetKind::directory: return false;
    case TargetKind::other: return open_in_place(output, output.target);
    }
    return create_temporary_beside(output);
}

void write_output_bytes(OutputFile& output, const void* bytes, std::size_t size) {
    std::fwrite(bytes, 1, size, output.file);
}

OutputResult finish_output_file(OutputFile& output) {
    bool failed = std::ferror(output.file) != 0;
    if (output.keeps_mode && !set_file_mode(output.file, output.mode)) failed = true;
    if (std::fflush(output.file) != 0) failed = true;
    hold_termination_signals();
    OutputResult result = failed ? OutputResult::cannot_write : OutputResult::written;
    if (result == OutputResult::written && output.unnamed && !name_unnamed_temporary(output)) {
        result = OutputResult::cannot_open;
    }
    if (std::fclose(output.file) != 0 && result == OutputResult::written) result = OutputResult::cannot_write;
    output.file = nullptr;
    if (output.in_place) {
        release_termination_signals();
        return result;
    }
    if (result == OutputResult::written && !replace_file(output.temporary_name, output.target)) {
        result = OutputResult::cannot_open;
    }
    if (result != OutputResult::written && output.temporary_name[0] != '\0') std::remove(output.temporary_name);
    forget_temporary_file(output.temporary_slot);
    output.temporary_slot = -1;
    release_termination_signals();
    return result;
}
