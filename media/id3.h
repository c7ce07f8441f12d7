// The ID3 tags of an MP3 file: version 1 at the end, version 2 (2.2, 2.3,
// 2.4) at the start. Bytes in, fields out: nothing here touches a file or a
// control, so the fuzz target runs it alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace q::media {

// The tag's block: the file's last 128 bytes.
constexpr std::size_t kId3v1Bytes = 128;

struct Id3Tag {
    // CP936 text as stored: cut at the first zero byte, spaces trimmed at both ends.
    std::string title, artist, album, year, comment;
    // Empty for a genre number past the table.
    std::string genre;
};

// The tag of a file whose last bytes (at least 128 of them, or the whole
// file) are given: only the last 128 count. Nothing when they are fewer than
// 128 or do not begin "TAG" in any letter case.
std::optional<Id3Tag> read_id3v1(std::string_view file_end);

// The genre name of number v (0..147), empty otherwise.
const char* genre_name(int v);

// The header that opens an ID3v2 tag.
constexpr std::size_t kId3v2HeaderBytes = 10;

// Reads up to n bytes of the tag from offset at (from the tag's first byte)
// into out: fewer at the end of what there is. False when nothing can be read.
using TagReader = std::function<bool(std::uint64_t at, std::size_t n, std::string& out)>;

// The text frames of an ID3v2 tag (2.2, 2.3 or 2.4) whose bytes read gives,
// tag_bytes of them at most (the size the header claims, cut at the file's
// end). Text in CP936, a character CP936 lacks kept with the escape of
// platform/text.h; control characters become spaces; trimmed like version 1.
// Reads the header and the frames it walks, never a picture frame's body
// (unless the whole tag is unsynchronised, which is read up to a bound).
// Nothing when the bytes begin no ID3v2 tag or it holds none of the fields.
std::optional<Id3Tag> read_id3v2(const TagReader& read, std::uint64_t tag_bytes);
// The same over bytes held in memory that begin with the tag.
std::optional<Id3Tag> read_id3v2(std::string_view bytes);

// The tag to show: each field from version 1, unless version 1 is absent or
// version 2 holds the longer text.
std::optional<Id3Tag> merged_tag(const std::optional<Id3Tag>& v1, const std::optional<Id3Tag>& v2);

}  // namespace q::media
