// Track lengths from MPEG audio frames the tests write themselves.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "media/mp3_length.h"
#include "platform/sim/sim_system.h"

namespace q::media {
namespace {

// The 4 header bytes; bits as stored (version 3 MPEG1, 2 MPEG2, 0 MPEG2.5;
// layer 3 is layer I, 1 is layer III).
std::string header(int version, int layer, int bit_rate_index, int rate_index, bool padded, bool mono = false) {
    std::string h(4, '\0');
    h[0] = '\xFF';
    h[1] = static_cast<char>(0xE0 | version << 3 | layer << 1 | 1);  // no CRC
    h[2] = static_cast<char>(bit_rate_index << 4 | rate_index << 2 | (padded ? 2 : 0));
    h[3] = static_cast<char>(mono ? 0xC0 : 0x00);
    return h;
}

struct Stream {
    int version, layer, bit_rate_index, rate_index;
    int kbps, rate, samples;  // what the header means, for the test's own arithmetic
};

// n frames at a constant rate, padded now and then as an encoder does to hold
// the rate on average. Frames are filled with a byte that cannot sync.
std::string frames(const Stream& s, int n) {
    const long long slot = s.layer == 3 ? 4 : 1;  // layer I pads by 4-byte slots
    const long long per_frame = static_cast<long long>(s.samples) / 8 * s.kbps * 1000 / slot;  // slots x rate
    std::string out;
    long long rest = 0;
    for (int i = 0; i < n; ++i) {
        rest += per_frame % s.rate;
        const bool pad = rest >= s.rate;
        if (pad) rest -= s.rate;
        std::string f = header(s.version, s.layer, s.bit_rate_index, s.rate_index, pad);
        f.resize(static_cast<std::size_t>((per_frame / s.rate + (pad ? 1 : 0)) * slot), '\x55');
        out += f;
    }
    return out;
}

// Whole ms of n frames of s: the truth a constant-rate reading must approach.
double played_ms(const Stream& s, int n) { return 1000.0 * n * s.samples / s.rate; }

std::string be32(std::uint32_t v) {
    std::string r;
    for (int shift = 24; shift >= 0; shift -= 8) r += static_cast<char>(v >> shift & 0xFF);
    return r;
}

// A frame with bytes written over it at offset at (a VBR header, a mono flag).
std::string with(std::string frame, std::size_t at, const std::string& bytes) {
    return frame.replace(at, bytes.size(), bytes);
}

std::string id3v2(int major, std::uint32_t body, bool footer) {
    std::string t = "ID3";
    t += static_cast<char>(major);
    t += '\0';
    t += static_cast<char>(footer ? 0x10 : 0);
    for (int shift = 21; shift >= 0; shift -= 7) t += static_cast<char>(body >> shift & 0x7F);
    t += std::string(body, '\0');
    if (footer) t += "3DI" + t.substr(3, 7);
    return t;
}

const Stream k128{3, 1, 9, 0, 128, 44100, 1152};  // MPEG1 layer III
const Stream k320{3, 1, 14, 0, 320, 44100, 1152};
const Stream kMpeg2{2, 1, 8, 0, 64, 22050, 576};  // MPEG2 layer III: half the samples a frame

TEST(Mp3Length, ConstantRatesOfEveryVersionAndLayer) {
    sim::SimSystem sim;
    // Each with its own tables; a wrong bit rate, sample rate, frame length
    // or samples a frame breaks the sync or the sum.
    const Stream streams[] = {
        k128, k320, kMpeg2,
        {3, 3, 12, 0, 384, 44100, 384},   // MPEG1 layer I
        {3, 2, 10, 2, 192, 32000, 1152},  // MPEG1 layer II
        {2, 3, 9, 0, 144, 22050, 384},    // MPEG2 layer I
        {2, 2, 14, 2, 160, 16000, 1152},  // MPEG2 layer II
        {0, 1, 4, 2, 32, 8000, 576},      // MPEG2.5 layer III
        {0, 2, 6, 0, 48, 11025, 1152},    // MPEG2.5 layer II
    };
    for (const Stream& s : streams) {
        sim.put_file("C:\\m\\cbr.mp3", frames(s, 3000));
        EXPECT_NEAR(track_length_ms("C:\\m\\cbr.mp3").value_or(-1), played_ms(s, 3000), 2) << s.kbps << " " << s.rate;
    }
    // 128 kbit/s is what the old estimate assumed: the two agree within a
    // second. For 320 kbit/s it would wait two and a half times the track.
    const std::string at128 = frames(k128, 9570), at320 = frames(k320, 9570);
    EXPECT_NEAR(static_cast<double>(*audio_length_ms(at128, at128.size())), estimated_track_ms(at128.size()), 1000);
    EXPECT_GT(estimated_track_ms(at320.size()), 2.4 * played_ms(k320, 9570));
}

TEST(Mp3Length, TagsAndJunkBeforeTheFirstFrame) {
    sim::SimSystem sim;
    // Two stacked ID3v2 tags, the first holding a "picture" bigger than the
    // read window, the second with a footer; then junk with a false sync (a
    // 32 kbit/s header with no frame after it); an ID3v1 tag at the end.
    const std::string junk = std::string(300, '\0') + header(3, 1, 1, 0, false) + std::string(200, 'j');
    const std::string tags = id3v2(3, 200000, false) + id3v2(4, 1000, true);
    sim.put_file("C:\\m\\tagged.mp3", tags + junk + frames(k320, 2000) + "TAG" + std::string(125, ' '));
    EXPECT_NEAR(track_length_ms("C:\\m\\tagged.mp3").value_or(-1), played_ms(k320, 2000), 2);
    EXPECT_EQ(id3v2_tag_size(tags.substr(200010)), 1020u);
    EXPECT_EQ(id3v2_tag_size(std::string("ID3\x04\x00\x00\x00\x00\x80\x00", 10)), 0u) << "not sync-safe";

    // Unreadable: no size, no timer.
    sim.unreadable.insert("C:\\m\\tagged.mp3");
    std::string out;
    EXPECT_FALSE(sys().files.read_part("C:\\m\\tagged.mp3", 0, 10, out));
    EXPECT_EQ(track_length_ms("C:\\m\\tagged.mp3"), std::nullopt);
    // A tag that claims more than the file holds, frames inside it (an
    // embedded track in a picture, say): no audio after it, so the estimate.
    const std::string only_tag = id3v2(3, 5000000, false).substr(0, 10) + frames(k320, 100);
    sim.put_file("C:\\m\\only_tag.mp3", only_tag);
    EXPECT_EQ(track_length_ms("C:\\m\\only_tag.mp3"), estimated_track_ms(only_tag.size()));
}

TEST(Mp3Length, VbrHeadersGiveTheFrameCount) {
    sim::SimSystem sim;
    // 5000 frames of 1152 samples at 44100 Hz (or 576 at 22050), in files
    // long enough to hold them at the lowest bit rate.
    const std::string first = frames(k128, 1), rest = frames(k128, 1300);
    const std::string xing = "Xing" + be32(15) + be32(5000), info = "Info" + be32(1) + be32(5000);
    sim.put_file("C:\\m\\xing.mp3", with(first, 4 + 32, xing) + rest);
    EXPECT_EQ(track_length_ms("C:\\m\\xing.mp3"), 130612);
    sim.put_file("C:\\m\\mono.mp3", with(with(first, 3, "\xC0"), 4 + 17, info) + rest);
    EXPECT_EQ(track_length_ms("C:\\m\\mono.mp3"), 130612);
    sim.put_file("C:\\m\\vbri.mp3", "junk" + with(first, 36, "VBRI" + std::string(10, '\1') + be32(1000)) + rest);
    EXPECT_EQ(track_length_ms("C:\\m\\vbri.mp3"), 26122);
    const std::string mpeg2 = frames(kMpeg2, 1), mpeg2_rest = frames(kMpeg2, 3);
    for (const std::string& f : {with(mpeg2, 4 + 17, xing), with(with(mpeg2, 3, "\xC0"), 4 + 9, xing)})
        EXPECT_EQ(audio_length_ms(f + mpeg2_rest, 1000000), 130612u);
    // A Xing header in the wrong place, without its frame flag, counting no
    // frames, or counting more than the bytes can hold (a truncated download)
    // is none: the constant rate counts.
    for (const std::string& f : {with(first, 4 + 17, xing), with(first, 4 + 32, "Xing" + be32(14) + be32(5000)),
                                 with(first, 4 + 32, "Xing" + be32(15) + be32(0)),
                                 with(first, 4 + 32, xing) + frames(k128, 3)}) {
        const std::string bytes = f + frames(k128, 20);
        EXPECT_EQ(audio_length_ms(bytes, bytes.size()), (bytes.size() * 8 + 64) / 128);
    }
}

TEST(Mp3Length, TheEstimateAndItsEnds) {
    EXPECT_EQ(estimated_track_ms(4000000), 249000);
    EXPECT_EQ(estimated_track_ms(962725), 59000);  // the single-precision quotient is just under 1
    EXPECT_EQ(estimated_track_ms(0), 0);
    EXPECT_EQ(estimated_track_ms(~std::uint64_t{0}), INT_MAX);
    EXPECT_EQ(estimated_track_ms(34000000000ull), 2118984000);  // 32 GB: still inside int
    EXPECT_EQ(estimated_track_ms(35000000000ull), INT_MAX);

    sim::SimSystem sim;
    const std::string text(4000000, 'x');  // no frame anywhere
    sim.put_file("C:\\m\\text.mp3", text);
    EXPECT_EQ(track_length_ms("C:\\m\\text.mp3"), 249000);
    EXPECT_EQ(track_length_ms("C:\\m\\missing.mp3"), std::nullopt);
    sim.make_folder("C:\\m\\folder.mp3");
    EXPECT_EQ(track_length_ms("C:\\m\\folder.mp3"), std::nullopt);
    sim.put_file("C:\\m\\short.mp3", frames(k128, 3));  // 78 ms of audio: still a second
    EXPECT_EQ(track_length_ms("C:\\m\\short.mp3"), 1000);

    // A claimed size far past any real file, and a lone header at the end of the bytes.
    EXPECT_EQ(audio_length_ms(header(3, 1, 9, 0, false), ~std::uint64_t{0}), 1152921504606846976u);
    EXPECT_EQ(audio_length_ms(std::string(3, '\xFF'), 3), std::nullopt);
    const std::string late = std::string(100, '\0') + frames(k128, 2);
    EXPECT_EQ(audio_length_ms(late, 100), std::nullopt) << "the frame lies past the audio";
}

}  // namespace
}  // namespace q::media
