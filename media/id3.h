// The ID3 version 1 tag at the end of an MP3 file: bytes in, fields out.
// Nothing here touches a file or a control, so the fuzz target runs it alone.
#pragma once

#include <cstddef>
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

}  // namespace q::media
