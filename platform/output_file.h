// Writing a ROM image without ever leaving a truncated one: the bytes go to
// a temporary file beside the image, which is renamed over the image's name
// only once it is complete and closed.
#pragma once
#include <cstddef>
#include <cstdio>

constexpr std::size_t image_name_capacity = 64;

struct ImageFile {
    std::FILE* file;
    char name[image_name_capacity];
    char temporary_name[image_name_capacity + 8];
};

enum class ImageResult { written, cannot_open, cannot_write };

// Creates the temporary file for image `name` in the current directory.
bool create_image_file(ImageFile& image, const char* name);

// Writes size bytes; errors are remembered by the stream and reported by
// finish_image_file.
void write_image_bytes(ImageFile& image, const unsigned char* bytes, std::size_t size);

// Flushes and closes the temporary file and renames it over the image. On
// any failure the temporary file is removed and an earlier image stays.
ImageResult finish_image_file(ImageFile& image);
