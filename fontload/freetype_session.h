// The FreeType library a font is read with, and the open face. FreeType
// allocates through a counted allowance of max_freetype_bytes, so that a
// font declaring huge glyphs is refused before it takes the machine's
// memory; its failures become the reader's errors here.
#pragma once
#include <cstddef>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include "font_source.h"

// What FreeType holds for one font. Each block carries its size in a
// header before it, so that freeing and resizing keep the count.
struct Allowance {
    std::size_t held;
    bool refused;    // a block would have taken FreeType past max_freetype_bytes
    bool exhausted;  // the system had no memory for a block
};

// The allowance, the library, the font bytes as a stream, and the open
// face; the gzip stream is made afresh for every face opened, since
// closing a face closes its stream.
struct Session {
    Allowance allowance{};
    FT_MemoryRec_ memory{};  // counts into allowance once start_library has run
    FT_Library library = nullptr;
    FT_StreamRec bytes{};
    FT_StreamRec gzip{};
    bool compressed = false;
    FT_Face face = nullptr;
    ~Session() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_Library(library);
    }
};

// A library with every module FreeType was built with, as FT_Init_FreeType
// makes, but allocating through the session's allowance.
FT_Error start_library(Session& session);

// A FreeType error as the reader reports it: memory FreeType was refused
// or not given is said as such, not as a font FreeType cannot read.
SourceResult freetype_failure(const Session& session, FT_Error error);

// Opens face index of the session's bytes, closing the face open before.
FT_Error open_face(Session& session, long index);

// A face FreeType would not open: FreeType calls most faults of a PCF font
// an unknown format or a stream error, which tells a user little.
SourceResult refused_face(Session& session, FT_Error error);
