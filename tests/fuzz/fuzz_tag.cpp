// The end of an MP3 file read for its version 1 tag, its start read for its
// version 2 tag, and a file's bytes decoded for the picture preview: any
// bytes, no crash, and the tags' own promises kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "media/id3.h"
#include "media/picture.h"
#include "media/picture_fit.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}

void check_field(const std::string& f, std::size_t max) {
    check(f.size() <= max);
    check(f.find('\0') == std::string::npos);
    check(f.empty() || (f.front() != ' ' && f.back() != ' '));
}

void check_text(const std::string& f) {
    check_field(f, 4096);
    for (char c : f) check(static_cast<unsigned char>(c) >= 0x20);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const auto tag = q::media::read_id3v1(in);
    check(tag.has_value() == (size >= 128 && q::media::read_id3v1(in.substr(size - 128)).has_value()));
    if (tag) {
        check_field(tag->title, 30);
        check_field(tag->artist, 30);
        check_field(tag->album, 30);
        check_field(tag->year, 4);
        check_field(tag->comment, 30);
        check(tag->genre == q::media::genre_name(static_cast<unsigned char>(in.back())));
        check(q::media::read_id3v1(in.substr(size - 128))->title == tag->title);
    }
    // Version 2: reads stay inside the bytes it is given, in small pieces or whole.
    const q::media::TagReader read = [in](std::uint64_t at, std::size_t n, std::string& out) {
        check(at < in.size() && n <= in.size() - at);
        out.assign(in.substr(static_cast<std::size_t>(at), n));
        return true;
    };
    const auto v2 = q::media::read_id3v2(read, in.size());
    check(v2.has_value() == q::media::read_id3v2(in).has_value());
    if (v2) {
        for (const std::string* f : {&v2->title, &v2->artist, &v2->album, &v2->year, &v2->comment, &v2->genre})
            check_text(*f);
        const auto shown = q::media::merged_tag(tag, v2);
        check(shown && shown->title.size() >= v2->title.size());
    }
    const int turn = q::media::exif_orientation(in);
    check(turn >= 1 && turn <= 8);
    // Bytes that open an ID3v2 tag are no BMP or JPEG: the decoder is spared
    // them, so the tag runs are not held up by its large allocations.
    if (in.substr(0, 3) == "ID3") return 0;
    const auto px = q::media::stretched_picture(in, 16, 12);
    check(px.empty() || px.size() == 16 * 12);
    // The same picture as the wallpaper of a tiny screen: turned, placed, resampled.
    const auto wallpaper = q::media::wallpaper_bmp(in, 16, 12);
    check(wallpaper.has_value() == !px.empty());
    check(!wallpaper || wallpaper->size() == 54 + 16 * 12 * 3);
    return 0;
}
