#include "media/picture.h"

#include "media/picture_decode.h"
#include "media/picture_fit.h"

#include <climits>
#include <cstddef>
#include <new>

namespace q::media {

namespace {
// A picture past this many pixels is not decoded. Phones take 108 MP photos;
// decoding one needs about 3 bytes a pixel for the result and 1.5 to 3 for
// the decoder's planes, which a 32-bit process cannot spare past some 60 MP.
// The fuzz build takes less, so that inputs claiming huge pictures do not
// slow its runs to a crawl with allocations of hundreds of megabytes.
#ifdef QUILLET_FUZZ_BUILD
constexpr long long kMaxPixels = 4LL * 1000 * 1000;
#else
constexpr long long kMaxPixels = (sizeof(void*) >= 8 ? 130LL : 60LL) * 1000 * 1000;
#endif

// The decoder goes over the whole picture once per scan, however few bytes a
// scan holds: a file that repeats a scan thousands of times keeps it busy for
// seconds. Real encoders write about ten scans (a progressive one) and rarely
// more than a few dozen; a file with more is refused unread, and so is one
// whose scans times pixels pass ten passes over the largest picture.
constexpr long long kMaxScans = 100;
constexpr long long kMaxScanPixels = 10 * kMaxPixels;

// The bytes a JPEG to the decoder: FF, any more FF, then D8.
bool is_jpeg(std::string_view b) {
    std::size_t soi = 0;
    while (soi < b.size() && static_cast<unsigned char>(b[soi]) == 0xFF) ++soi;
    return soi > 0 && soi < b.size() && static_cast<unsigned char>(b[soi]) == 0xD8;
}

// Every FF DA (a scan's marker) wherever it lies: never fewer than the scans
// the decoder meets, since each of them starts with those two bytes.
long long scan_markers(std::string_view b) {
    long long n = 0;
    for (std::size_t p = b.find("\xFF\xDA"); p != std::string_view::npos; p = b.find("\xFF\xDA", p + 2)) ++n;
    return n;
}

// The decoder trusts a Huffman table's symbol count, and one past 256 writes
// beyond its table: such a file is refused before it is decoded. Every
// FF C4 (a table marker) is read as the decoder would read one, wherever it
// lies, so that no table the decoder might meet goes unchecked.
bool huffman_tables_sound(std::string_view b) {
    auto byte = [&b](std::size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; };
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

// The picture's pixels; false when the bytes are no picture that can be
// decoded within the limits.
bool decode(std::string_view bytes, DecodedRgb& d) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
    const bool jpeg = is_jpeg(bytes);
    const long long scans = jpeg ? scan_markers(bytes) : 0;
    if (jpeg && (scans > kMaxScans || !huffman_tables_sound(bytes))) return false;
    int w = 0, h = 0;
    if (!picture_size(bytes, w, h) || w <= 0 || h <= 0 || static_cast<long long>(w) * h > kMaxPixels ||
        scans * w * h > kMaxScanPixels)
        return false;
    return decode_rgb(bytes, d);
}

std::vector<std::uint32_t> stretched(std::string_view bytes, int width, int height);

}  // namespace

std::vector<std::uint32_t> stretched_picture(std::string_view bytes, int width, int height) {
    // The pixels may not fit in the memory left (a 32-bit process): no picture then.
    try {
        return stretched(bytes, width, height);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

namespace {

std::vector<std::uint32_t> stretched(std::string_view bytes, int width, int height) {
    DecodedRgb d;
    if (width <= 0 || height <= 0 || !decode(bytes, d)) return {};
    const int w = d.w, h = d.h;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    // Nearest source pixel for each target pixel, as a plain stretch draws it.
    for (int y = 0; y < height; ++y) {
        const long long sy = static_cast<long long>(y) * h / height;
        for (int x = 0; x < width; ++x) {
            const long long sx = static_cast<long long>(x) * w / width;
            const unsigned char* p = d.px + (sy * w + sx) * 3;
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> wallpaper_bmp(std::string_view bytes, int screen_width, int screen_height) {
    // The pixels may not fit in the memory left (a 32-bit process): no picture then.
    try {
        DecodedRgb d;
        if (screen_width <= 0 || screen_height <= 0 || !decode(bytes, d)) return std::nullopt;
        const RgbImage image = wallpaper_image({d.px, d.w, d.h}, exif_orientation(bytes), screen_width, screen_height);
        if (image.rgb.empty()) return std::nullopt;
        return bmp_file(image);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace q::media
