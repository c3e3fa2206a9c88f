#include "freetype_session.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include FT_GZIP_H

namespace {

constexpr std::size_t block_header = alignof(std::max_align_t);

std::size_t block_size(const unsigned char* start) {
    std::size_t size;
    std::memcpy(&size, start, sizeof size);
    return size;
}

void* resize_block(FT_Memory memory, void* block, std::size_t new_size) {
    Allowance& allowance = *static_cast<Allowance*>(memory->user);
    unsigned char* start = block != nullptr ? static_cast<unsigned char*>(block) - block_header : nullptr;
    const std::size_t old_size = start != nullptr ? block_size(start) : 0;
    if (new_size > old_size && new_size - old_size > max_freetype_bytes - allowance.held) {
        allowance.refused = true;
        return nullptr;
    }
    void* moved = std::realloc(start, new_size + block_header);
    if (moved == nullptr) {
        allowance.exhausted = true;
        return nullptr;
    }
    allowance.held = allowance.held - old_size + new_size;
    std::memcpy(moved, &new_size, sizeof new_size);
    return static_cast<unsigned char*>(moved) + block_header;
}

void* counted_allocate(FT_Memory memory, long size) {
    return size > 0 ? resize_block(memory, nullptr, static_cast<std::size_t>(size)) : nullptr;
}

void* counted_reallocate(FT_Memory memory, long, long new_size, void* block) {
    return new_size > 0 ? resize_block(memory, block, static_cast<std::size_t>(new_size)) : nullptr;
}

void counted_free(FT_Memory memory, void* block) {
    if (block == nullptr) return;
    unsigned char* start = static_cast<unsigned char*>(block) - block_header;
    static_cast<Allowance*>(memory->user)->held -= block_size(start);
    std::free(start);
}

// Whether the font bytes, uncompressed if need be, begin as a PCF font's.
bool starts_as_pcf(Session& session) {
    static const unsigned char magic[4] = {1, 'f', 'c', 'p'};
    if (!session.compressed) return session.bytes.size >= 4 && std::memcmp(session.bytes.base, magic, 4) == 0;
    FT_StreamRec gzip{};
    session.bytes.pos = 0;
    if (FT_Stream_OpenGzip(&gzip, &session.bytes) != 0) return false;
    unsigned char start[4] = {};
    unsigned long count = 0;
    if (gzip.read != nullptr) {
        count = gzip.read(&gzip, 0, start, sizeof start);
    } else if (gzip.size >= sizeof start) {
        std::memcpy(start, gzip.base, sizeof start);
        count = sizeof start;
    }
    if (gzip.close != nullptr) gzip.close(&gzip);
    return count == sizeof start && std::memcmp(start, magic, sizeof start) == 0;
}

}  // namespace

FT_Error start_library(Session& session) {
    session.memory = {&session.allowance, counted_allocate, counted_free, counted_reallocate};
    if (const FT_Error error = FT_New_Library(&session.memory, &session.library)) return error;
    FT_Add_Default_Modules(session.library);
    FT_Set_Default_Properties(session.library);
    return 0;
}

SourceResult freetype_failure(const Session& session, FT_Error error) {
    if (session.allowance.refused) return {SourceError::too_big, 0};
    if (session.allowance.exhausted || FT_ERROR_BASE(error) == FT_Err_Out_Of_Memory) {
        return {SourceError::out_of_memory, 0};
    }
    return {SourceError::freetype, error};
}

FT_Error open_face(Session& session, long index) {
    if (session.face != nullptr) FT_Done_Face(session.face);
    session.face = nullptr;
    FT_Open_Args arguments{};
    if (session.compressed) {
        session.bytes.pos = 0;
        session.gzip = FT_StreamRec{};
        if (const FT_Error error = FT_Stream_OpenGzip(&session.gzip, &session.bytes)) return error;
        arguments.flags = FT_OPEN_STREAM;
        arguments.stream = &session.gzip;
    } else {
        arguments.flags = FT_OPEN_MEMORY;
        arguments.memory_base = session.bytes.base;
        arguments.memory_size = static_cast<FT_Long>(session.bytes.size);
    }
    return FT_Open_Face(session.library, &arguments, index, &session.face);
}

SourceResult refused_face(Session& session, FT_Error error) {
    const SourceResult failure = freetype_failure(session, error);
    if (failure.error == SourceError::freetype && starts_as_pcf(session)) return {SourceError::damaged_pcf, 0};
    return failure;
}


// FreeType's own list of its errors and their descriptions.
#undef FTERRORS_H_
#define FT_ERRORDEF(code, value, text) {value, text},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
namespace {
const struct {
    int code;
    const char* text;
} freetype_errors[] =
#include FT_ERRORS_H
}  // namespace

const char* freetype_error_text(int error) {
    for (const auto& entry : freetype_errors) {
        if (entry.text != nullptr && entry.code == FT_ERROR_BASE(error)) return entry.text;
    }
    return "unknown FreeType error";
}
