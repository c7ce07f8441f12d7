// The first bytes of an MP3 file's audio read for its length: any bytes and
// any claimed audio size, no crash, no overflow, and the reader's bounds kept.
// The input's first 8 bytes (little-endian) are the claimed audio size.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "media/mp3_length.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    std::uint64_t claimed = 0;
    for (int i = 7; i >= 0; --i) claimed = claimed << 8 | data[i];
    const std::string_view in(reinterpret_cast<const char*>(data) + 8, size - 8);

    const auto ms = q::media::audio_length_ms(in, claimed);
    // Bytes past the claimed audio are never looked at.
    if (claimed < in.size()) check(q::media::audio_length_ms(in.substr(0, claimed), claimed) == ms);
    if (ms) {
        check(in.find('\xFF') < claimed);
        // A constant rate is at least 8 kbit/s: a ms for every byte at most.
        // A VBR header's frame count is believed only when the frames fit in
        // the bytes at the lowest rate, which plays about as long.
        check(*ms <= claimed || *ms - claimed <= claimed / 50 + 1);
    }

    const std::uint64_t tag = q::media::id3v2_tag_size(in);
    check(tag == 0 || (tag >= 10 && tag <= 10 + ((1ull << 28) - 1) + 10));
    check(tag == 0 || in.substr(0, 3) == "ID3");

    const int estimate = q::media::estimated_track_ms(claimed);
    check(estimate >= 0 && (estimate == INT_MAX || estimate % 1000 == 0));
    return 0;
}
