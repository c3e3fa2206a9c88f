// What every program does the same way around its own work: the start-up
// calls, one voice for its messages, the exit on a failure, and the words
// for a font that cannot be read or a file that cannot be written.
//
// The converters speak in bare lines on standard output; the companions in
// "NAME: " lines on standard error.
#pragma once
#include <cstddef>
#include <string>

#include "font_header.h"
#include "output_file.h"

// For a converter: no file of the program's may land on a closed standard
// stream, and a file size limit makes writes fail instead of ending the run.
void start_converter();

// For a companion: the same, its messages named by it on standard error,
// and a pipe whose reader has gone fails as a write error.
void start_companion(const char* name);

// The exit status of fail; 1 unless a mode of the program says otherwise.
void set_failure_status(int status);

// Prints line in the program's voice and ends the run.
[[noreturn]] void fail(const std::string& line);

// Opens the font and scans it (the scan of a font on a pipe copies it as
// it goes); fails with "cannot open NAME" where it cannot be opened or a
// pipe cannot be copied whole, which, as for any font that cannot be
// opened, is reported before anything else about it.
HeaderScan open_and_scan_font(FontStream& stream, const char* name, bool accept_unknown_charset,
                              const EncodingSet& wanted, GlyphRecord& record);

// "illegal bdf", "cannot convert for charset REGISTRY" or "cannot open
// FONT" for a failed header scan.
std::string font_error_message(const HeaderScan& scan, const char* font_name);

// "cannot open NAME" when the file could not be made or put in place,
// "cannot write NAME" when its bytes could not all be written.
std::string output_result_message(OutputResult result, const char* name);

// Writes the file name whole through the safe output writer, or fails with
// output_result_message.
void write_file_or_fail(const char* name, const void* bytes, std::size_t size);

// Writes bytes to standard output and flushes it, or fails with "cannot
// write standard output".
void write_standard_output_or_fail(const void* bytes, std::size_t size);
