// The embedded files as the program sees them: formats, sizes and the
// colour keys that the window shapes and icons rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string_view>
#include <utility>

#include "platform/resources.h"

namespace {

using q::Res;

uint32_t le(std::string_view b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A bottom-up 24-bit BMP, checked on construction.
struct Bmp {
    std::string_view b;
    int w = 0, h = 0;
    explicit Bmp(Res id) : b(q::resource_bytes(id)) {
        EXPECT_GE(b.size(), 54u);
        if (b.size() < 54) return;
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(le(b, 2, 4), b.size());
        EXPECT_EQ(le(b, 14, 4), 40u);
        EXPECT_EQ(le(b, 28, 2), 24u);
        EXPECT_EQ(le(b, 30, 4), 0u);  // uncompressed
        w = static_cast<int>(le(b, 18, 4));
        h = static_cast<int>(le(b, 22, 4));
        EXPECT_EQ(b.size(), le(b, 10, 4) + static_cast<size_t>(stride()) * h);
    }
    int stride() const { return (w * 3 + 3) & ~3; }
    Rgb at(int x, int y) const {
        size_t o = le(b, 10, 4) + static_cast<size_t>(h - 1 - y) * stride() + x * 3;
        auto c = [&](size_t i) { return static_cast<int>(static_cast<unsigned char>(b[o + i])); };
        return {c(2), c(1), c(0)};
    }
};

const Rgb kRed{255, 0, 0};
const Rgb kMagenta{255, 0, 255};

TEST(ResourcesTest, WavHeadersAndExactSizes) {
    struct W { Res id; size_t size; uint32_t rate; uint32_t bits; };
    const W wavs[] = {
        {Res::HoverWav, 1762, 22050, 16},  {Res::TrayShowWav, 4728, 22050, 16},
        {Res::Chime0Wav, 8960, 11025, 8},  {Res::Chime1Wav, 42696, 22050, 8},
        {Res::Chime2Wav, 66544, 25752, 8}, {Res::Chime3Wav, 37310, 22050, 8},
        {Res::AlertWav, 5475, 22050, 8},
    };
    for (const W& w : wavs) {
        SCOPED_TRACE(static_cast<int>(w.id));
        std::string_view b = q::resource_bytes(w.id);
        ASSERT_EQ(b.size(), w.size);
        EXPECT_EQ(b.substr(0, 4), "RIFF");
        EXPECT_EQ(le(b, 4, 4), w.size - 8);
        EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(le(b, 16, 4), 16u);
        EXPECT_EQ(le(b, 20, 2), 1u);  // PCM
        EXPECT_EQ(le(b, 22, 2), 1u);  // mono
        EXPECT_EQ(le(b, 24, 4), w.rate);
        EXPECT_EQ(le(b, 28, 4), w.rate * w.bits / 8);
        EXPECT_EQ(le(b, 32, 2), w.bits / 8);
        EXPECT_EQ(le(b, 34, 2), w.bits);
        EXPECT_EQ(b.substr(36, 4), "data");
        EXPECT_EQ(le(b, 40, 4), w.size - 44);
        // Silent first and last samples: no click when a sound starts or is cut.
        if (w.bits == 8) {
            EXPECT_EQ(static_cast<unsigned char>(b[44]), 128);
            EXPECT_EQ(static_cast<unsigned char>(b[w.size - 1]), 128);
        } else {
            EXPECT_EQ(le(b, 44, 2), 0u);
            EXPECT_EQ(le(b, w.size - 2, 2), 0u);
        }
    }
}

TEST(ResourcesTest, BitmapSizes) {
    const std::pair<Res, std::pair<int, int>> bmps[] = {
        {Res::BarBitmap, {121, 300}},     {Res::NoteSkin, {151, 270}},
        {Res::NoteMenuButton, {12, 12}},  {Res::NoteCloseButton, {11, 9}},
        {Res::AboutEmblem, {45, 47}},
    };
    for (const auto& [id, size] : bmps) {
        SCOPED_TRACE(static_cast<int>(id));
        Bmp bmp(id);
        EXPECT_EQ(bmp.w, size.first);
        EXPECT_EQ(bmp.h, size.second);
    }
    for (int n = 0; n <= 10; ++n) {
        SCOPED_TRACE(n);
        Bmp icon(q::button_icon(n));
        ASSERT_EQ(icon.w, 17);
        ASSERT_EQ(icon.h, 17);
        // Transparent corners around a visible picture.
        EXPECT_EQ(icon.at(0, 0), kMagenta);
        int opaque = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 17; ++x) opaque += !(icon.at(x, y) == kMagenta);
        EXPECT_GT(opaque, 40);
    }
}

TEST(ResourcesTest, BarCutAwayIsRedAndOnlyThere) {
    Bmp bar(Res::BarBitmap);
    ASSERT_EQ(bar.w, 121);
    ASSERT_EQ(bar.h, 300);
    for (auto [x, y] : {std::pair{0, 0}, {120, 0}, {0, 299}, {120, 299}, {1, 1}, {119, 298}})
        EXPECT_EQ(bar.at(x, y), kRed) << x << "," << y;
    const int tops[] = {25, 49, 75, 99, 125, 149, 173, 197, 223, 247, 271};
    for (int top : tops)
        for (int y = top; y < top + 23; ++y)
            for (int x = 34; x < 34 + 82; ++x) ASSERT_FALSE(bar.at(x, y) == kRed) << x << "," << y;
    // Red only in the corners and the trimmed right edge; the left edge stays whole.
    int trimmed_right = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 121; ++x) {
            if (!(bar.at(x, y) == kRed)) continue;
            bool corner = (x < 9 || x > 104) && (y < 9 || y > 290);  // right corners round the trimmed edge
            ASSERT_TRUE(corner || x >= 116) << x << "," << y;
        }
        trimmed_right += bar.at(120, y) == kRed;
    }
    EXPECT_GT(trimmed_right, 100);
    EXPECT_FALSE(bar.at(0, 150) == kRed);
}

TEST(ResourcesTest, NoteSkinCorners) {
    Bmp note(Res::NoteSkin);
    ASSERT_EQ(note.w, 151);
    ASSERT_EQ(note.h, 270);
    for (auto [x, y] : {std::pair{0, 0}, {150, 0}, {0, 269}, {150, 269}}) EXPECT_EQ(note.at(x, y), kRed);
    for (int y = 8; y < 262; ++y)
        for (int x = 0; x < 151; ++x) ASSERT_FALSE(note.at(x, y) == kRed) << x << "," << y;
    // The buttons' pictures sit on the title strip's own colour.
    Bmp menu(Res::NoteMenuButton), close(Res::NoteCloseButton);
    EXPECT_EQ(menu.at(0, 0), note.at(8, 7));
    EXPECT_EQ(close.at(0, 8), note.at(131, 15));
}

TEST(ResourcesTest, IconDirectory) {
    std::string_view b = q::resource_bytes(Res::AppIcon);
    ASSERT_GE(b.size(), 6u + 6 * 16);
    EXPECT_EQ(le(b, 0, 2), 0u);
    EXPECT_EQ(le(b, 2, 2), 1u);
    ASSERT_EQ(le(b, 4, 2), 6u);
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 6; ++i) {
        size_t e = 6 + 16 * i;
        int size = static_cast<unsigned char>(b[e]);
        int bits = static_cast<int>(le(b, e + 6, 2));
        uint32_t bytes = le(b, e + 8, 4), offset = le(b, e + 12, 4);
        SCOPED_TRACE(size * 100 + bits);
        EXPECT_EQ(static_cast<unsigned char>(b[e + 1]), size);
        EXPECT_EQ(static_cast<unsigned char>(b[e + 2]), 0);  // 0 stands for 256 colours or more
        EXPECT_EQ(le(b, e + 4, 2), 1u);
        seen.insert({size, bits});
        ASSERT_LE(static_cast<size_t>(offset) + bytes, b.size());
        // Each image: BITMAPINFOHEADER, palette for 8 bits, colour rows, AND mask rows.
        EXPECT_EQ(le(b, offset, 4), 40u);
        EXPECT_EQ(le(b, offset + 4, 4), static_cast<uint32_t>(size));
        EXPECT_EQ(le(b, offset + 8, 4), static_cast<uint32_t>(size * 2));
        EXPECT_EQ(le(b, offset + 14, 2), static_cast<uint32_t>(bits));
        uint32_t palette = bits == 8 ? 256 * 4 : 0;
        uint32_t rows = static_cast<uint32_t>(((size * bits + 31) / 32) * 4 * size);
        uint32_t mask = static_cast<uint32_t>(((size + 31) / 32) * 4 * size);
        EXPECT_EQ(bytes, 40 + palette + rows + mask);
    }
    EXPECT_EQ(seen, (std::set<std::pair<int, int>>{{16, 8}, {32, 8}, {48, 8}, {16, 32}, {32, 32}, {48, 32}}));
}

TEST(ResourcesTest, PopupJpegFrame) {
    std::string_view b = q::resource_bytes(Res::PopupJpeg);
    ASSERT_GE(b.size(), 4u);
    ASSERT_EQ(static_cast<unsigned char>(b[0]), 0xFF);
    ASSERT_EQ(static_cast<unsigned char>(b[1]), 0xD8);
    auto be16 = [&](size_t at) {
        return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
    };
    // Walk the marker segments to the baseline frame header.
    size_t at = 2;
    bool found = false;
    while (at + 9 < b.size() && static_cast<unsigned char>(b[at]) == 0xFF) {
        int marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xC0) {
            EXPECT_EQ(be16(at + 5), 200);  // height
            EXPECT_EQ(be16(at + 7), 185);  // width
            found = true;
            break;
        }
        ASSERT_NE(marker, 0xDA) << "scan before the frame header";
        at += 2 + be16(at + 2);
    }
    EXPECT_TRUE(found);
}

TEST(ResourcesTest, UnknownIdIsEmpty) {
    EXPECT_TRUE(q::resource_bytes(static_cast<Res>(9999)).empty());
}

}  // namespace
