// stb_image's decoders, built once, as the image reader needs them: only the
// formats a texture may be, and no side past MAX_IMAGE_SIDE. The sanitizer
// builds check this file for everything but its shifts: stb_image 2.27
// shifts past the word's width once a JPEG scan ends inside a code, but what
// it shifts then is always zero (it reads no byte after the scan's end and
// counts zero bits in its place), so the result is zero however far.

#include <cstdlib>

#include "gfx/image_file.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_TGA
#define STBI_MAX_DIMENSIONS static_cast<int>(MAX_IMAGE_SIDE)
// stb_image 2.27 decodes a JPEG scan with the Huffman tables it names even
// when the file never defined them, reading memory it never cleared (it
// then asserts, or reads past a table). Cleared memory makes such a table
// decode every code as zero, within its bounds.
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(pointer, size) std::realloc(pointer, size)
#define STBI_FREE(pointer) std::free(pointer)
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#endif
#include <stb/stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
