#include "png_file.h"

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

bool encode_png(const Sheet& sheet, std::vector<std::uint8_t>& png) {
    png.clear();
    return stbi_write_png_to_func(append_bytes, &png, sheet.width, sheet.height, 3, sheet.pixels.data(),
                                  sheet.width * 3) != 0;
}
