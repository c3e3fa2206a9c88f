#include "image_file.h"

#include "platform.h"

namespace {

constexpr int temporary_name_tries = 100;

}  // namespace

bool create_image_file(ImageFile& image, const char* name) {
    report_file_size_limit_as_write_error();
    std::snprintf(image.name, sizeof image.name, "%s", name);
    for (int attempt = 0; attempt < temporary_name_tries; ++attempt) {
        std::snprintf(image.temporary_name, sizeof image.temporary_name, "%s.tmp%d", name, attempt);
        // Never take over a file that is already there.
        image.file = create_new_file(image.temporary_name);
        if (image.file != nullptr) return true;
    }
    return false;
}

void write_image_bytes(ImageFile& image, const unsigned char* bytes, std::size_t size) {
    std::fwrite(bytes, 1, size, image.file);
}

ImageResult finish_image_file(ImageFile& image) {
    const bool write_failed = std::ferror(image.file) != 0;
    const bool flush_failed = std::fflush(image.file) != 0;
    const bool close_failed = std::fclose(image.file) != 0;
    image.file = nullptr;
    if (write_failed || flush_failed || close_failed) {
        std::remove(image.temporary_name);
        return ImageResult::cannot_write;
    }
    if (!replace_file(image.temporary_name, image.name)) {
        std::remove(image.temporary_name);
        return ImageResult::cannot_open;
    }
    return ImageResult::written;
}
