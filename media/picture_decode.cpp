#include "media/picture_decode.h"

#include <cstdlib>

#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_FAILURE_STRINGS
#define STB_IMAGE_STATIC
// The decoder's state starts zeroed: a file whose scan names a Huffman table it
// never defined then decodes from an empty table (zeros) instead of indexing
// with whatever the heap held.
#define STBI_MALLOC(sz) std::calloc(1, sz)
#define STBI_REALLOC(p, sz) std::realloc(p, sz)
#define STBI_FREE(p) std::free(p)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace q::media {

DecodedRgb::~DecodedRgb() { stbi_image_free(px); }

bool picture_size(std::string_view bytes, int& w, int& h) {
    int n = 0;
    return stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w,
                                 &h, &n) != 0;
}

bool decode_rgb(std::string_view bytes, DecodedRgb& out) {
    int n = 0;
    out.px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                                   &out.w, &out.h, &n, 3);
    return out.px != nullptr;
}

}  // namespace q::media
