#include "png_file.h"

#include <cstdio>
#include <filesystem>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void append_bytes(void* context, void* data, int size) {
    auto* png = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    png->insert(png->end(), bytes, bytes + size);
}

}  // namespace

bool write_png_file(const char* path, const Sheet& sheet) {
    // The PNG is made in memory so that every write to the file is checked.
    std::vector<std::uint8_t> png;
    if (stbi_write_png_to_func(append_bytes, &png, sheet.width, sheet.height, 3, sheet.pixels.data(),
                               sheet.width * 3) == 0) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    // A partial sheet is removed; a device such as /dev/full is left alone.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) std::remove(path);
    return false;
}
