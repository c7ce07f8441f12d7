#include "media/picture.h"

#include <climits>
#include <cstddef>

#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_FAILURE_STRINGS
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace q::media {

namespace {
// A picture past this many pixels is not decoded for a 128 x 96 preview.
constexpr long long kMaxPixels = 40LL * 1000 * 1000;

// The decoder trusts a Huffman table's symbol count, and one past 256 writes
// beyond its table: such a file is refused before it is decoded. Every
// FF C4 (a table marker) is read as the decoder would read one, wherever it
// lies, so that no table the decoder might meet goes unchecked.
bool huffman_tables_sound(std::string_view b) {
    auto byte = [&b](std::size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; };
    // A JPEG to the decoder: FF, any more FF, then D8.
    std::size_t soi = 0;
    while (byte(soi) == 0xFF) ++soi;
    if (soi == 0 || byte(soi) != 0xD8) return true;
    for (std::size_t p = b.find("\xFF\xC4"); p != std::string_view::npos; p = b.find("\xFF\xC4", p + 1)) {
        long long left = static_cast<long long>(byte(p + 2) << 8 | byte(p + 3)) - 2;
        for (std::size_t t = p + 4; left > 0 && t < b.size();) {
            std::size_t n = 0;
            for (std::size_t k = 1; k <= 16; ++k) n += byte(t + k);
            if (n > 256) return false;
            left -= static_cast<long long>(17 + n);
            t += 17 + n;
        }
    }
    return true;
}

}  // namespace

std::vector<std::uint32_t> stretched_picture(std::string_view bytes, int width, int height) {
    if (width <= 0 || height <= 0 || bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return {};
    if (!huffman_tables_sound(bytes)) return {};
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int len = static_cast<int>(bytes.size());
    int w = 0, h = 0, n = 0;
    if (!stbi_info_from_memory(data, len, &w, &h, &n) || w <= 0 || h <= 0 ||
        static_cast<long long>(w) * h > kMaxPixels)
        return {};
    stbi_uc* px = stbi_load_from_memory(data, len, &w, &h, &n, 3);
    if (!px) return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    // Nearest source pixel for each target pixel, as a plain stretch draws it.
    for (int y = 0; y < height; ++y) {
        const long long sy = static_cast<long long>(y) * h / height;
        for (int x = 0; x < width; ++x) {
            const long long sx = static_cast<long long>(x) * w / width;
            const stbi_uc* p = px + (sy * w + sx) * 3;
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
        }
    }
    stbi_image_free(px);
    return out;
}

}  // namespace q::media
