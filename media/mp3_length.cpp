#include "media/mp3_length.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <utility>

#include "media/id3.h"
#include "platform/system.h"

namespace q::media {

namespace {

// kbit/s by [MPEG1 ? 0 : 1][layer - 1][index]; indexes 0 (free) and 15 are refused before.
constexpr int kBitRates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};

// Hz by the header's version bits (0 MPEG2.5, 1 reserved, 2 MPEG2, 3 MPEG1) and rate index.
constexpr int kSampleRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

struct Frame {
    bool mpeg1 = false;
    int version_bits = 0;
    int layer = 0;  // 1, 2 or 3
    int kbps = 0;
    int rate = 0;
    int samples = 0;            // per frame
    std::size_t length = 0;     // bytes, header included
    std::size_t side_info = 0;  // layer III side information after the header
};

unsigned byte_at(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

std::uint32_t be32(std::string_view s, std::size_t i) {
    return (std::uint32_t{byte_at(s, i)} << 24) | (std::uint32_t{byte_at(s, i + 1)} << 16) |
           (std::uint32_t{byte_at(s, i + 2)} << 8) | std::uint32_t{byte_at(s, i + 3)};
}

// Bytes of a frame without padding (header included).
std::size_t frame_bytes(int layer, bool mpeg1, int kbps, int rate) {
    const std::size_t bps = static_cast<std::size_t>(kbps) * 1000, r = static_cast<std::size_t>(rate);
    if (layer == 1) return 12 * bps / r * 4;
    if (layer == 2) return 144 * bps / r;
    return (mpeg1 ? 144 : 72) * bps / r;
}

// The frame whose 4-byte header starts at s[i] (i + 4 <= s.size()).
std::optional<Frame> frame_at(std::string_view s, std::size_t i) {
    const unsigned b0 = byte_at(s, i), b1 = byte_at(s, i + 1), b2 = byte_at(s, i + 2), b3 = byte_at(s, i + 3);
    if (b0 != 0xFF || (b1 & 0xE0) != 0xE0) return std::nullopt;
    Frame f;
    f.version_bits = static_cast<int>((b1 >> 3) & 3);
    const unsigned layer_bits = (b1 >> 1) & 3;
    const unsigned rate_index = (b2 >> 2) & 3, bit_rate_index = b2 >> 4;
    if (f.version_bits == 1 || layer_bits == 0 || bit_rate_index == 0 || bit_rate_index == 15 || rate_index == 3)
        return std::nullopt;
    const bool mpeg1 = f.mpeg1 = f.version_bits == 3;
    const bool mono = (b3 >> 6) == 3;
    const std::size_t padding = (b2 >> 1) & 1;
    f.layer = static_cast<int>(4 - layer_bits);
    f.kbps = kBitRates[mpeg1 ? 0 : 1][f.layer - 1][bit_rate_index];
    f.rate = kSampleRates[f.version_bits][rate_index];
    f.samples = f.layer == 1 ? 384 : f.layer == 2 || mpeg1 ? 1152 : 576;
    f.length = frame_bytes(f.layer, mpeg1, f.kbps, f.rate) + padding * (f.layer == 1 ? 4 : 1);
    f.side_info = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return f;
}

// The first frame in s, and where it starts. A sync pattern is taken for a
// frame only when the next frame's header follows at the computed length
// with the same version, layer and sample rate, or when that lies past s.
std::optional<std::pair<std::size_t, Frame>> first_frame(std::string_view s) {
    for (std::size_t i = 0; i + 4 <= s.size(); ++i) {
        if (byte_at(s, i) != 0xFF) continue;
        const std::optional<Frame> f = frame_at(s, i);
        if (!f) continue;
        const std::size_t next = i + f->length;
        if (next <= s.size() - 4) {
            const std::optional<Frame> g = frame_at(s, next);
            if (!g || g->version_bits != f->version_bits || g->layer != f->layer || g->rate != f->rate) continue;
        }
        return std::make_pair(i, *f);
    }
    return std::nullopt;
}

std::uint64_t frames_ms(std::uint32_t frames, const Frame& f) {
    // At most 2^32 x 1152 x 1000: far inside 64 bits.
    const std::uint64_t samples_x1000 = std::uint64_t{frames} * static_cast<std::uint64_t>(f.samples) * 1000;
    const std::uint64_t rate = static_cast<std::uint64_t>(f.rate);
    return (samples_x1000 + rate / 2) / rate;
}

// The frame count of a Xing/Info header with its frame flag, or of a VBRI
// header; 0 when there is none (a count of 0 says nothing either).
std::uint32_t vbr_frames(std::string_view s, std::size_t at, const Frame& f) {
    const std::size_t xing = at + 4 + f.side_info;
    if (xing + 12 <= s.size()) {
        const std::string_view id = s.substr(xing, 4);
        if ((id == "Xing" || id == "Info") && (be32(s, xing + 4) & 1)) {
            const std::uint32_t n = be32(s, xing + 8);
            if (n) return n;
        }
    }
    // "VBRI", version, delay, quality (2 bytes each), byte count, frame count.
    const std::size_t vbri = at + 36;
    if (vbri + 18 <= s.size() && s.substr(vbri, 4) == "VBRI") return be32(s, vbri + 14);
    return 0;
}

// bytes x 8 / kbps rounded, without overflow: the quotient is at most 2^64 / 8.
std::uint64_t constant_rate_ms(std::uint64_t bytes, int kbps) {
    const std::uint64_t k = static_cast<std::uint64_t>(kbps);
    const std::uint64_t whole = bytes / k * 8, part = (bytes % k * 8 + k / 2) / k;
    return whole > UINT64_MAX - part ? UINT64_MAX : whole + part;
}

constexpr std::size_t kId3v2Header = 10;
// Enough for the first frames after junk or padding; a frame is under 3 KB.
constexpr std::size_t kWindow = 64 * 1024;
// Tags stacked one after another: a few at most in real files.
constexpr int kMaxTags = 16;

std::optional<std::uint64_t> file_audio_ms(FileSystem& fs, const std::string& path, std::uint64_t size) {
    std::string part;
    std::uint64_t start = 0;
    for (int i = 0; i < kMaxTags && start < size; ++i) {
        if (!fs.read_part(path, start, kId3v2Header, part)) return std::nullopt;
        const std::uint64_t tag = id3v2_tag_size(part);
        if (!tag) break;
        start += tag;  // each at most 2^28 + 20 bytes: no overflow in kMaxTags steps
    }
    if (start >= size) return std::nullopt;
    std::uint64_t end = size;
    if (end - start >= kId3v1Bytes) {
        if (!fs.read_part(path, end - kId3v1Bytes, kId3v1Bytes, part)) return std::nullopt;
        if (read_id3v1(part)) end -= kId3v1Bytes;
    }
    const std::uint64_t audio = end - start;
    if (!fs.read_part(path, start, static_cast<std::size_t>(std::min<std::uint64_t>(audio, kWindow)), part))
        return std::nullopt;
    return audio_length_ms(part, audio);
}

}  // namespace

int estimated_track_ms(std::uint64_t file_size) {
    const float minutes = static_cast<float>(static_cast<double>(file_size) / 962725.158);
    const float seconds = minutes * 60.0f;
    if (!(seconds < 2147484.0f)) return INT_MAX;  // whole seconds x 1000 would pass INT_MAX
    return static_cast<int>(seconds) * 1000;
}

std::uint64_t id3v2_tag_size(std::string_view header) {
    if (header.size() < kId3v2Header || header.substr(0, 3) != "ID3") return 0;
    if (byte_at(header, 3) == 0xFF || byte_at(header, 4) == 0xFF) return 0;
    std::uint64_t body = 0;
    for (std::size_t i = 6; i < 10; ++i) {
        const unsigned b = byte_at(header, i);
        if (b & 0x80) return 0;  // a sync-safe size has its high bits clear
        body = body << 7 | b;
    }
    const bool footer = byte_at(header, 5) & 0x10;
    return kId3v2Header + body + (footer ? kId3v2Header : 0);
}

std::optional<std::uint64_t> audio_length_ms(std::string_view audio, std::uint64_t audio_bytes) {
    if (audio_bytes < audio.size()) audio = audio.substr(0, static_cast<std::size_t>(audio_bytes));
    const auto found = first_frame(audio);
    if (!found) return std::nullopt;
    const auto& [at, frame] = *found;
    // A header counting more frames than the audio bytes could hold at the
    // lowest bit rate (a truncated download) is not believed.
    const std::uint64_t smallest = frame_bytes(frame.layer, frame.mpeg1, kBitRates[frame.mpeg1 ? 0 : 1][frame.layer - 1][1],
                                               frame.rate);
    const std::uint32_t frames = vbr_frames(audio, at, frame);
    if (frames && frames <= (audio_bytes - at) / smallest) return frames_ms(frames, frame);
    return constant_rate_ms(audio_bytes - at, frame.kbps);
}

std::optional<int> track_length_ms(const std::string& path) {
    FileSystem& fs = sys().files;
    const std::optional<std::uint64_t> size = fs.size(path);
    if (!size) return std::nullopt;
    const std::optional<std::uint64_t> ms = file_audio_ms(fs, path, *size);
    if (!ms) return estimated_track_ms(*size);
    // A timer of a few ms would race through the list.
    return static_cast<int>(std::clamp<std::uint64_t>(*ms, 1000, INT_MAX));
}

}  // namespace q::media
