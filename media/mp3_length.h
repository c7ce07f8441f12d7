// How long an MP3 file plays, for the music timer. The length comes from the
// file's first audio frame (a Xing/Info or VBRI header's frame count, else
// the frame's constant bit rate); the old size-based estimate remains for
// files without a readable frame. All but track_length_ms work on bytes
// alone, so the fuzz target runs them without a file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q::media {

// The old estimate, as if every file were 128 kbit/s: whole seconds of
// (file_size / 962725.158 bytes a minute), the quotient in single precision,
// times 1000. Saturates at INT_MAX.
int estimated_track_ms(std::uint64_t file_size);

// The size of one ID3v2 tag (header, body and footer) whose 10-byte header
// starts header; 0 when those bytes are no ID3v2 header.
std::uint64_t id3v2_tag_size(std::string_view header);

// The playing time in whole milliseconds (rounded) of audio_bytes bytes of
// MPEG audio, given the first of them in audio (the audio begins right after
// any ID3v2 tags; audio_bytes leaves out an ID3v1 tag at the end). Junk before
// the first frame is stepped over. Nothing when audio holds no frame header.
std::optional<std::uint64_t> audio_length_ms(std::string_view audio, std::uint64_t audio_bytes);

// The music timer's interval for the file at path, read through
// sys().files.size and read_part (a few small reads, never the whole file):
// the audio length, at least 1000 ms, saturated at INT_MAX; the estimate from
// the size when no frame can be read; nothing when the file has no size
// (missing, a folder, unopenable): no track to play.
std::optional<int> track_length_ms(const std::string& path);

}  // namespace q::media
