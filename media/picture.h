// The page's picture preview: a BMP or JPEG file's bytes to the pixels of a
// box, stretched to fill it (the aspect ratio is not kept).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace q::media {

// width x height pixels, 0x00RRGGBB, rows from the top; empty when the bytes
// are no picture that can be decoded (truncated, another format, too large).
std::vector<std::uint32_t> stretched_picture(std::string_view bytes, int width, int height);

}  // namespace q::media
