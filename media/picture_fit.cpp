#include "media/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace q::media {

namespace {

unsigned byte_at(std::string_view s, std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; }

// The orientation in an APP1 block's body ("Exif\0\0", then a TIFF file);
// 0 when it holds none.
int orientation_in_exif(std::string_view s) {
    if (s.substr(0, 6) != std::string_view("Exif\0\0", 6)) return 0;
    const std::string_view t = s.substr(6);
    const bool little = t.substr(0, 2) == "II";
    if (!little && t.substr(0, 2) != "MM") return 0;
    auto u16 = [&](std::size_t i) {
        return little ? byte_at(t, i) | byte_at(t, i + 1) << 8 : byte_at(t, i) << 8 | byte_at(t, i + 1);
    };
    auto u32 = [&](std::size_t i) {
        return little ? u16(i) | static_cast<std::uint32_t>(u16(i + 2)) << 16
                      : static_cast<std::uint32_t>(u16(i)) << 16 | u16(i + 2);
    };
    if (t.size() < 8 || u16(2) != 42) return 0;
    const std::uint32_t ifd = u32(4);
    if (ifd > t.size() || t.size() - ifd < 2) return 0;
    const unsigned entries = u16(ifd);
    for (unsigned k = 0; k < entries; ++k) {
        const std::size_t e = ifd + 2 + std::size_t{12} * k;
        if (e + 12 > t.size()) break;
        if (u16(e) != 0x0112) continue;
        const unsigned v = u16(e + 2) == 3 ? u16(e + 8) : 0;  // a SHORT, held in the entry itself
        return v >= 1 && v <= 8 ? static_cast<int>(v) : 0;
    }
    return 0;
}

// The source pixels and their weights for output pixel i along one axis of
// size pixels, the output's pixels step source pixels apart from start.
void taps_at(double start, double step, int size, int i, std::vector<std::pair<int, float>>& out) {
    out.clear();
    auto add = [&](long long k, double w) {
        out.emplace_back(static_cast<int>(std::clamp<long long>(k, 0, size - 1)), static_cast<float>(w));
    };
    if (step >= 1) {  // shrinking: the average of the area covered
        const double a = start + i * step, b = a + step;
        for (long long k = static_cast<long long>(std::floor(a)); k < b; ++k) {
            const double cover = std::min(b, k + 1.0) - std::max(a, static_cast<double>(k));
            if (cover > 0) add(k, cover / step);
        }
    } else {  // growing: bilinear between the two nearest centres
        const double c = start + (i + 0.5) * step - 0.5;
        const double k = std::floor(c), f = c - k;
        add(static_cast<long long>(k), 1 - f);
        add(static_cast<long long>(k) + 1, f);
    }
}

}  // namespace

int exif_orientation(std::string_view b) {
    if (byte_at(b, 0) != 0xFF || byte_at(b, 1) != 0xD8) return 1;
    std::size_t p = 2;
    // The Exif block comes first among the markers; a bounded walk finds it.
    for (int seg = 0; seg < 256 && p + 4 <= b.size(); ++seg) {
        if (byte_at(b, p) != 0xFF) return 1;
        const unsigned marker = byte_at(b, p + 1);
        if (marker == 0xFF) {  // a fill byte
            ++p;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;  // the picture's data: no Exif block before it
        const std::size_t length = byte_at(b, p + 2) << 8 | byte_at(b, p + 3);
        if (length < 2) return 1;
        if (marker == 0xE1)
            if (const int o = orientation_in_exif(b.substr(p + 4, length - 2))) return o;
        p += 2 + length;
    }
    return 1;
}

Placement place_on_screen(int width, int height, int screen_width, int screen_height) {
    Placement p;
    if (width <= 0 || height <= 0 || screen_width <= 0 || screen_height <= 0) return p;
    const double w = width, h = height, sw = screen_width, sh = screen_height;
    const double fill = std::max(sw / w, sh / h);
    const double seen_w = std::min(w, sw / fill), seen_h = std::min(h, sh / fill);
    if (seen_w * seen_h >= 0.75 * w * h * (1 - 1e-9)) {
        p.src_x = (w - seen_w) / 2;
        p.src_y = (h - seen_h) / 2;
        p.src_w = seen_w;
        p.src_h = seen_h;
        p.dst_w = screen_width;
        p.dst_h = screen_height;
        return p;
    }
    const double fit = std::min(sw / w, sh / h);
    p.src_w = w;
    p.src_h = h;
    p.dst_w = std::clamp(static_cast<int>(std::lround(w * fit)), 1, screen_width);
    p.dst_h = std::clamp(static_cast<int>(std::lround(h * fit)), 1, screen_height);
    p.dst_x = (screen_width - p.dst_w) / 2;
    p.dst_y = (screen_height - p.dst_h) / 2;
    return p;
}

RgbImage resample(RgbView src, double x, double y, double w, double h, int out_w, int out_h) {
    RgbImage out;
    if (!src.rgb || src.width <= 0 || src.height <= 0 || out_w <= 0 || out_h <= 0 || !(w > 0) || !(h > 0)) return out;
    out.width = out_w;
    out.height = out_h;
    const std::size_t line = std::size_t{3} * static_cast<std::size_t>(out_w);
    out.rgb.resize(line * static_cast<std::size_t>(out_h));
    // Across: the taps of every output column, the same for every row.
    std::vector<std::size_t> begin;
    std::vector<std::pair<int, float>> across, taps;
    for (int i = 0; i < out_w; ++i) {
        begin.push_back(across.size());
        taps_at(x, w / out_w, src.width, i, taps);
        across.insert(across.end(), taps.begin(), taps.end());
    }
    begin.push_back(across.size());
    const std::size_t row_bytes = std::size_t{3} * static_cast<std::size_t>(src.width);
    // Down: source rows resampled across as the output rows need them. Rows
    // come in order, and only the last two are kept: the row two shrunk
    // output rows share, or the pair a grown one mixes.
    std::pair<int, std::vector<float>> kept[2] = {{-1, std::vector<float>(line)}, {-1, std::vector<float>(line)}};
    int older = 0;
    auto across_row = [&](int r) -> const std::vector<float>& {
        for (const auto& k : kept)
            if (k.first == r) return k.second;
        auto& slot = kept[older];
        older ^= 1;
        slot.first = r;
        const std::uint8_t* px_row = src.rgb + static_cast<std::size_t>(r) * row_bytes;
        for (std::size_t i = 0; i + 1 < begin.size(); ++i) {
            float c[3] = {0, 0, 0};
            for (std::size_t k = begin[i]; k < begin[i + 1]; ++k) {
                const std::uint8_t* px = px_row + std::size_t{3} * static_cast<std::size_t>(across[k].first);
                for (int ch = 0; ch < 3; ++ch) c[ch] += across[k].second * px[ch];
            }
            for (int ch = 0; ch < 3; ++ch) slot.second[i * 3 + static_cast<std::size_t>(ch)] = c[ch];
        }
        return slot.second;
    };
    std::vector<float> acc(line);
    for (int oy = 0; oy < out_h; ++oy) {
        taps_at(y, h / out_h, src.height, oy, taps);
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (const auto& [r, wk] : taps) {
            const std::vector<float>& v = across_row(r);
            for (std::size_t i = 0; i < line; ++i) acc[i] += wk * v[i];
        }
        std::uint8_t* dst = out.rgb.data() + static_cast<std::size_t>(oy) * line;
        for (std::size_t i = 0; i < line; ++i)
            dst[i] = static_cast<std::uint8_t>(std::clamp(std::lround(acc[i]), 0L, 255L));
    }
    return out;
}

RgbImage wallpaper_image(RgbView stored, int orientation, int screen_width, int screen_height) {
    RgbImage out;
    if (screen_width <= 0 || screen_height <= 0 || stored.width <= 0 || stored.height <= 0) return out;
    const int o = orientation >= 1 && orientation <= 8 ? orientation : 1;
    const bool turn = o >= 5;
    const int W = stored.width, H = stored.height;
    const Placement p = place_on_screen(turn ? H : W, turn ? W : H, screen_width, screen_height);
    // The part taken, upright, back in the stored picture's pixels.
    double x = p.src_x, y = p.src_y, w = p.src_w, h = p.src_h;
    if (turn) {
        std::swap(x, y);
        std::swap(w, h);
    }
    if (o == 2 || o == 3 || o == 7 || o == 8) x = W - x - w;
    if (o == 3 || o == 4 || o == 6 || o == 7) y = H - y - h;
    const int rw = turn ? p.dst_h : p.dst_w, rh = turn ? p.dst_w : p.dst_h;
    const RgbImage small = resample(stored, x, y, w, h, rw, rh);
    if (small.rgb.empty()) return out;
    out.width = screen_width;
    out.height = screen_height;
    out.rgb.assign(std::size_t{3} * static_cast<std::size_t>(screen_width) * static_cast<std::size_t>(screen_height), 0);
    for (int Y = 0; Y < p.dst_h; ++Y) {
        for (int X = 0; X < p.dst_w; ++X) {
            int sx = X, sy = Y;
            switch (o) {
                case 2: sx = rw - 1 - X; break;
                case 3: sx = rw - 1 - X, sy = rh - 1 - Y; break;
                case 4: sy = rh - 1 - Y; break;
                case 5: sx = Y, sy = X; break;
                case 6: sx = Y, sy = rh - 1 - X; break;
                case 7: sx = rw - 1 - Y, sy = rh - 1 - X; break;
                case 8: sx = rw - 1 - Y, sy = X; break;
                default: break;
            }
            const std::uint8_t* s = small.rgb.data() + 3 * (static_cast<std::size_t>(sy) * static_cast<std::size_t>(rw) + static_cast<std::size_t>(sx));
            std::uint8_t* d = out.rgb.data() + 3 * (static_cast<std::size_t>(p.dst_y + Y) * static_cast<std::size_t>(screen_width) +
                                                    static_cast<std::size_t>(p.dst_x + X));
            d[0] = s[0], d[1] = s[1], d[2] = s[2];
        }
    }
    return out;
}

std::string bmp_file(const RgbImage& image) {
    const std::size_t w = static_cast<std::size_t>(image.width), h = static_cast<std::size_t>(image.height);
    const std::size_t stride = (w * 3 + 3) / 4 * 4;  // rows padded to four bytes
    const std::size_t header = 14 + 40;
    std::string out(header + stride * h, '\0');
    auto put = [&out](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put(2, static_cast<std::uint32_t>(out.size()), 4);
    put(10, static_cast<std::uint32_t>(header), 4);
    put(14, 40, 4);  // BITMAPINFOHEADER
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);  // positive: rows from the bottom
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, static_cast<std::uint32_t>(stride * h), 4);
    put(38, 2835, 4);  // 72 dpi
    put(42, 2835, 4);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* src = image.rgb.data() + (h - 1 - y) * w * 3;
        char* dst = out.data() + header + y * stride;
        for (std::size_t x = 0; x < w; ++x) {  // RGB to the file's BGR
            dst[x * 3] = static_cast<char>(src[x * 3 + 2]);
            dst[x * 3 + 1] = static_cast<char>(src[x * 3 + 1]);
            dst[x * 3 + 2] = static_cast<char>(src[x * 3]);
        }
    }
    return out;
}

}  // namespace q::media
