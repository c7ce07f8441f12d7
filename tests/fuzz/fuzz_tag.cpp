// The end of an MP3 file read for its tag, and a file's bytes decoded for the
// picture preview: any bytes, no crash, and the tag's own promises kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "media/id3.h"
#include "media/picture.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}

void check_field(const std::string& f, std::size_t max) {
    check(f.size() <= max);
    check(f.find('\0') == std::string::npos);
    check(f.empty() || (f.front() != ' ' && f.back() != ' '));
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
    const auto px = q::media::stretched_picture(in, 16, 12);
    check(px.empty() || px.size() == 16 * 12);
    return 0;
}
